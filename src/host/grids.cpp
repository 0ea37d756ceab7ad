#include "host/grids.h"

#include <windowsx.h>

#include <algorithm>
#include <sstream>

#include "host/prop_builder.h"
#include "host/text_encoding.h"

namespace vex::host {

// ----- one direction of the grid -----

void TCustomGrid::TAxis::Resize(int n) {
  sizes.resize(static_cast<std::size_t>(n), defaultSize);
  count = n;
}

int TCustomGrid::TAxis::FixedExtent(int fixedLine) const {
  int s = 0;
  for (int i = 0; i < fixed; ++i) s += Size(i) + fixedLine;
  return s;
}

int TCustomGrid::TAxis::Span(int a, int b, int line) const {
  int s = 0;
  for (int i = a; i < b; ++i) s += Size(i) + line;
  return s;
}

int TCustomGrid::TAxis::Pos(int i, int fixedLine, int line) const {
  if (i < 0 || i >= count) return -1;
  if (i < fixed) {
    int s = 0;
    for (int k = 0; k < i; ++k) s += Size(k) + fixedLine;
    return s;
  }
  if (i < first) return -1;
  return FixedExtent(fixedLine) + Span(first, i, line);
}

int TCustomGrid::TAxis::MaxFirst(int extent, int fixedLine, int line) const {
  const int avail = extent - FixedExtent(fixedLine);
  int s = 0, i = count - 1;
  for (; i >= fixed; --i) {
    if (s + Size(i) > avail) break;
    s += Size(i) + line;
  }
  return std::min(count - 1, std::max(fixed, i + 1));
}

int TCustomGrid::TAxis::WholeCount(int extent, int fixedLine, int line) const {
  int x = FixedExtent(fixedLine), n = 0;
  for (int i = first; i < count; ++i) {
    if (x + Size(i) > extent) break;
    ++n;
    x += Size(i) + line;
  }
  return n;
}

int TCustomGrid::TAxis::LastShown(int extent, int fixedLine, int line) const {
  int x = FixedExtent(fixedLine), last = first - 1;
  for (int i = first; i < count && x < extent; ++i) {
    last = i;
    x += Size(i) + line;
  }
  return last;
}

int TCustomGrid::TAxis::PageBack(int from, int extent, int fixedLine, int line) const {
  const int avail = extent - FixedExtent(fixedLine);
  int s = 0, i = from - 1;
  for (; i >= fixed; --i) {
    if (s + Size(i) > avail) break;
    s += Size(i) + line;
  }
  return std::max(fixed, std::min(i + 1, from - 1));
}

int TCustomGrid::TAxis::FirstShowing(int i, int extent, int fixedLine, int line) const {
  const int avail = extent - FixedExtent(fixedLine);
  int s = 0, k = i;
  for (; k >= fixed; --k) {
    if (s + Size(k) > avail) break;
    s += Size(k) + line;
  }
  return std::max(fixed, std::min(k + 1, i));
}

int TCustomGrid::TAxis::At(int p, int extent, int fixedLine, int line) const {
  if (p < 0 || p >= extent) return -1;
  int x = 0;
  for (int i = 0; i < fixed; ++i) {
    if (p < x + Size(i) + fixedLine) return i;
    x += Size(i) + fixedLine;
  }
  for (int i = first; i < count && x < extent; ++i) {
    if (p < x + Size(i) + line) return i;
    x += Size(i) + line;
  }
  return -1;
}

// ----- the grid -----

namespace {

const std::vector<std::string> kGridOptionNames{"goFixedVertLine", "goFixedHorzLine", "goVertLine",  "goHorzLine",
                                                "goRangeSelect",   "goDrawFocusSelected", "goRowSizing", "goColSizing",
                                                "goRowMoving",     "goColMoving",     "goEditing",   "goTabs",
                                                "goRowSelect",     "goAlwaysShowEditor", "goThumbTracking"};

std::string JoinSizes(const std::vector<int>& sizes) {
  std::string out;
  for (std::size_t i = 0; i < sizes.size(); ++i) out += (i ? " " : "") + std::to_string(sizes[i]);
  return out;
}

std::vector<int> SplitSizes(const std::string& text) {
  std::vector<int> out;
  std::istringstream in(text);
  int v;
  while (in >> v) out.push_back(v);
  return out;
}

}  // namespace

const TClassInfo& TCustomGrid::StaticClass() {
  static TClassInfo info("TCustomGrid", &TCustomControl::StaticClass());
  static const bool once = [] {
    TPropBuilder<TCustomGrid> b(info);
    b.Enum("BorderStyle", "TBorderStyle", {"bsNone", "bsSingle"}, [](const TCustomGrid& x) { return x.BorderStyle(); },
           [](TCustomGrid& x, std::int64_t v) { x.SetBorderStyle(v ? bsSingle : bsNone); })
        .defaultValue = std::int64_t{bsSingle};
    // The counts come before the fixed counts that must stay below them.
    b.Integer("ColCount", [](const TCustomGrid& x) { return x.ColCount(); }, [](TCustomGrid& x, std::int64_t v) { x.SetColCount(static_cast<int>(v)); })
        .defaultValue = std::int64_t{5};
    b.Integer("RowCount", [](const TCustomGrid& x) { return x.RowCount(); }, [](TCustomGrid& x, std::int64_t v) { x.SetRowCount(static_cast<int>(v)); })
        .defaultValue = std::int64_t{5};
    b.Integer("DefaultColWidth", [](const TCustomGrid& x) { return x.DefaultColWidth(); },
              [](TCustomGrid& x, std::int64_t v) { x.SetDefaultColWidth(static_cast<int>(v)); })
        .defaultValue = std::int64_t{64};
    b.Boolean("DefaultDrawing", [](const TCustomGrid& x) { return x.DefaultDrawing(); },
              [](TCustomGrid& x, std::int64_t v) { x.SetDefaultDrawing(v != 0); })
        .defaultValue = std::int64_t{1};
    b.Integer("DefaultRowHeight", [](const TCustomGrid& x) { return x.DefaultRowHeight(); },
              [](TCustomGrid& x, std::int64_t v) { x.SetDefaultRowHeight(static_cast<int>(v)); })
        .defaultValue = std::int64_t{24};
    b.Color("FixedColor", [](const TCustomGrid& x) { return x.FixedColor(); }, [](TCustomGrid& x, std::int64_t v) { x.SetFixedColor(static_cast<TColor>(v)); })
        .defaultValue = std::int64_t{clBtnFace};
    b.Integer("FixedCols", [](const TCustomGrid& x) { return x.FixedCols(); }, [](TCustomGrid& x, std::int64_t v) { x.SetFixedCols(static_cast<int>(v)); })
        .defaultValue = std::int64_t{1};
    b.Integer("FixedRows", [](const TCustomGrid& x) { return x.FixedRows(); }, [](TCustomGrid& x, std::int64_t v) { x.SetFixedRows(static_cast<int>(v)); })
        .defaultValue = std::int64_t{1};
    b.Integer("GridLineWidth", [](const TCustomGrid& x) { return x.GridLineWidth(); },
              [](TCustomGrid& x, std::int64_t v) { x.SetGridLineWidth(static_cast<int>(v)); })
        .defaultValue = std::int64_t{1};
    b.Set("Options", "TGridOptions", kGridOptionNames, [](const TCustomGrid& x) { return x.Options(); },
          [](TCustomGrid& x, std::int64_t v) { x.SetOptions(static_cast<TGridOptions>(v)); })
        .defaultValue = std::int64_t{goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect};
    b.Enum("ScrollBars", "TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}, [](const TCustomGrid& x) { return x.ScrollBars(); },
           [](TCustomGrid& x, std::int64_t v) { x.SetScrollBars(static_cast<TScrollStyle>(v)); })
        .defaultValue = std::int64_t{ssBoth};
    return true;
  }();
  (void)once;
  return info;
}

const TClassInfo& TDrawGrid::StaticClass() {
  static TClassInfo info("TDrawGrid", &TCustomGrid::StaticClass(), ComponentFactory<TDrawGrid>);
  static const bool once = [] {
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

const TClassInfo& TStringGrid::StaticClass() {
  static TClassInfo info("TStringGrid", &TDrawGrid::StaticClass(), ComponentFactory<TStringGrid>);
  static const bool once = [] {
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TCustomGrid::TCustomGrid(TComponent* owner, const TClassInfo& cls) : TCustomControl(owner, cls) {
  width_ = 320;
  height_ = 120;
  tabStop_ = true;
  color_ = clWindow;
  controlStyle_ &= ~csSetCaption;
  cols_.defaultSize = 64;
  rows_.defaultSize = 24;
  cols_.Resize(5);
  rows_.Resize(5);
}

void TCustomGrid::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.caption.clear();
  if (borderStyle_ == bsSingle) p.exStyle |= WS_EX_CLIENTEDGE;
}

void TCustomGrid::CreateWnd() {
  TCustomControl::CreateWnd();
  UpdateScrollBars();
}

void TCustomGrid::Loaded() {
  TCustomControl::Loaded();
  // A stored grid whose fixed counts do not fit its counts is read as well as it can be.
  cols_.fixed = std::clamp(cols_.fixed, 0, cols_.count - 1);
  rows_.fixed = std::clamp(rows_.fixed, 0, rows_.count - 1);
  ClampPositions();
  Changed();
}

void TCustomGrid::DefineProperties(TFiler& filer) {
  TCustomControl::DefineProperties(filer);
  const auto custom = [](const TAxis& a) {
    return std::any_of(a.sizes.begin(), a.sizes.end(), [&a](int s) { return s != a.defaultSize; });
  };
  filer.DefineProperty(
      "ColWidths",
      [this](const std::string& text) {
        const std::vector<int> sizes = SplitSizes(text);
        for (std::size_t i = 0; i < sizes.size() && i < cols_.sizes.size(); ++i) cols_.sizes[i] = std::max(sizes[i], 0);
        Changed();
      },
      [this] { return JoinSizes(cols_.sizes); }, custom(cols_));
  filer.DefineProperty(
      "RowHeights",
      [this](const std::string& text) {
        const std::vector<int> sizes = SplitSizes(text);
        for (std::size_t i = 0; i < sizes.size() && i < rows_.sizes.size(); ++i) rows_.sizes[i] = std::max(sizes[i], 0);
        Changed();
      },
      [this] { return JoinSizes(rows_.sizes); }, custom(rows_));
}

void TCustomGrid::Changed() {
  if (HasState(csLoading)) return;
  UpdateScrollBars();
  Invalidate();
}

void TCustomGrid::ClampPositions() {
  const auto clampCell = [this](std::pair<int, int>& cell) {
    cell.first = std::clamp(cell.first, cols_.fixed, cols_.count - 1);
    cell.second = std::clamp(cell.second, rows_.fixed, rows_.count - 1);
  };
  clampCell(current_);
  clampCell(anchor_);
  cols_.first = std::clamp(cols_.first, cols_.fixed, cols_.count - 1);
  rows_.first = std::clamp(rows_.first, rows_.fixed, rows_.count - 1);
}

void TCustomGrid::CheckCell(int col, int row) const {
  if (col < 0 || col >= cols_.count || row < 0 || row >= rows_.count) throw EInvalidGridOperation("Grid index out of range");
}

void TCustomGrid::SetColCount(int v) {
  v = std::max(v, 1);
  if (v == cols_.count) return;
  const int old = cols_.count;
  cols_.Resize(v);
  if (!HasState(csLoading) && cols_.fixed >= v) cols_.fixed = v - 1;
  if (!HasState(csLoading)) ClampPositions();
  SizeChanged(old, rows_.count);
  Changed();
}

void TCustomGrid::SetRowCount(int v) {
  v = std::max(v, 1);
  if (v == rows_.count) return;
  const int old = rows_.count;
  rows_.Resize(v);
  if (!HasState(csLoading) && rows_.fixed >= v) rows_.fixed = v - 1;
  if (!HasState(csLoading)) ClampPositions();
  SizeChanged(cols_.count, old);
  Changed();
}

void TCustomGrid::SetFixedCols(int v) {
  if (!HasState(csLoading) && (v < 0 || v >= cols_.count))
    throw EInvalidGridOperation("Fixed column count must be less than column count");
  cols_.fixed = std::max(v, 0);
  if (HasState(csLoading)) return;
  ClampPositions();
  Changed();
}

void TCustomGrid::SetFixedRows(int v) {
  if (!HasState(csLoading) && (v < 0 || v >= rows_.count)) throw EInvalidGridOperation("Fixed row count must be less than row count");
  rows_.fixed = std::max(v, 0);
  if (HasState(csLoading)) return;
  ClampPositions();
  Changed();
}

void TCustomGrid::SetFixedColor(TColor c) {
  fixedColor_ = c;
  Invalidate();
}

void TCustomGrid::SetDefaultColWidth(int v) {
  cols_.defaultSize = std::max(v, 0);
  std::fill(cols_.sizes.begin(), cols_.sizes.end(), cols_.defaultSize);
  Changed();
}

void TCustomGrid::ChangeScale(int m, int d) {
  if (m != d && m > 0 && d > 0)
    for (TAxis* axis : {&cols_, &rows_}) {
      axis->defaultSize = MulDiv(axis->defaultSize, m, d);
      for (int& size : axis->sizes) size = MulDiv(size, m, d);
    }
  TCustomControl::ChangeScale(m, d);
  Changed();
}

void TCustomGrid::SetDefaultRowHeight(int v) {
  rows_.defaultSize = std::max(v, 0);
  std::fill(rows_.sizes.begin(), rows_.sizes.end(), rows_.defaultSize);
  Changed();
}

int TCustomGrid::ColWidths(int col) const {
  CheckCell(col, 0);
  return cols_.Size(col);
}

void TCustomGrid::SetColWidths(int col, int width) {
  CheckCell(col, 0);
  cols_.sizes[static_cast<std::size_t>(col)] = std::max(width, 0);
  Changed();
}

int TCustomGrid::RowHeights(int row) const {
  CheckCell(0, row);
  return rows_.Size(row);
}

void TCustomGrid::SetRowHeights(int row, int height) {
  CheckCell(0, row);
  rows_.sizes[static_cast<std::size_t>(row)] = std::max(height, 0);
  Changed();
}

void TCustomGrid::SetGridLineWidth(int v) {
  gridLineWidth_ = std::max(v, 0);
  Changed();
}

void TCustomGrid::SetOptions(TGridOptions o) {
  options_ = o;
  if (!(o & goRangeSelect)) anchor_ = current_;
  Changed();
}

void TCustomGrid::SetScrollBars(TScrollStyle s) {
  scrollBars_ = s;
  Changed();
}

void TCustomGrid::SetBorderStyle(TBorderStyle s) {
  if (s == borderStyle_) return;
  borderStyle_ = s;
  RecreateWnd();
}

void TCustomGrid::SetDefaultDrawing(bool v) {
  defaultDrawing_ = v;
  Invalidate();
}

SIZE TCustomGrid::ClientSize() const {
  const RECT r = ClientRect();
  return SIZE{r.right, r.bottom};
}

int TCustomGrid::VisibleColCount() const { return cols_.WholeCount(ClientSize().cx, HorzFixedLine(), HorzLine()); }
int TCustomGrid::VisibleRowCount() const { return rows_.WholeCount(ClientSize().cy, VertFixedLine(), VertLine()); }

RECT TCustomGrid::CellRect(int col, int row) const {
  const int x = cols_.Pos(col, HorzFixedLine(), HorzLine());
  const int y = rows_.Pos(row, VertFixedLine(), VertLine());
  if (x < 0 || y < 0) return RECT{0, 0, 0, 0};
  return RECT{x, y, x + cols_.Size(col), y + rows_.Size(row)};
}

bool TCustomGrid::MouseToCell(int x, int y, int& col, int& row) const {
  const SIZE cs = ClientSize();
  col = cols_.At(x, cs.cx, HorzFixedLine(), HorzLine());
  row = rows_.At(y, cs.cy, VertFixedLine(), VertLine());
  if (col < 0 || row < 0) {
    col = row = -1;
    return false;
  }
  return true;
}

TGridRect TCustomGrid::Selection() const {
  if (options_ & goRowSelect)
    return TGridRect{cols_.fixed, std::min(current_.second, anchor_.second), cols_.count - 1, std::max(current_.second, anchor_.second)};
  return TGridRect{std::min(current_.first, anchor_.first), std::min(current_.second, anchor_.second),
                   std::max(current_.first, anchor_.first), std::max(current_.second, anchor_.second)};
}

void TCustomGrid::SetSelection(const TGridRect& r) {
  CheckCell(r.Left, r.Top);
  CheckCell(r.Right, r.Bottom);
  InvalidateSelection();
  current_ = {r.Left, r.Top};
  anchor_ = (options_ & goRangeSelect) ? std::make_pair(r.Right, r.Bottom) : current_;
  ClampPositions();
  InvalidateSelection();
}

void TCustomGrid::SetCol(int v) {
  if (v < cols_.fixed || v >= cols_.count) throw EInvalidGridOperation("Grid index out of range");
  MoveCurrent(v, current_.second, true, true);
}

void TCustomGrid::SetRow(int v) {
  if (v < rows_.fixed || v >= rows_.count) throw EInvalidGridOperation("Grid index out of range");
  MoveCurrent(current_.first, v, true, true);
}

void TCustomGrid::SetLeftCol(int v) { ScrollAxis(false, v); }
void TCustomGrid::SetTopRow(int v) { ScrollAxis(true, v); }

bool TCustomGrid::SelectCell(int col, int row) {
  bool can = true;
  if (OnSelectCell) OnSelectCell(this, col, row, can);
  return can;
}

void TCustomGrid::TopLeftChanged() {
  if (OnTopLeftChanged) OnTopLeftChanged(this);
}

void TCustomGrid::InvalidateCell(int col, int row) {
  if (!handle_) return;
  RECT r = CellRect(col, row);
  r.right += gridLineWidth_;
  r.bottom += gridLineWidth_;
  InvalidateRect(handle_, &r, FALSE);
}

RECT TCustomGrid::BlockRect(const TGridRect& b) const {
  const SIZE cs = ClientSize();
  const int c0 = std::max(b.Left, cols_.first), c1 = std::min(b.Right, cols_.LastShown(cs.cx, HorzFixedLine(), HorzLine()));
  const int r0 = std::max(b.Top, rows_.first), r1 = std::min(b.Bottom, rows_.LastShown(cs.cy, VertFixedLine(), VertLine()));
  if (c0 > c1 || r0 > r1) return RECT{0, 0, 0, 0};
  const RECT a = CellRect(c0, r0), z = CellRect(c1, r1);
  return RECT{a.left, a.top, z.right + gridLineWidth_, z.bottom + gridLineWidth_};
}

void TCustomGrid::InvalidateSelection() {
  if (!handle_) return;
  const RECT r = BlockRect(Selection());
  InvalidateRect(handle_, &r, FALSE);
}

bool TCustomGrid::MoveCurrent(int col, int row, bool moveAnchor, bool show) {
  const bool same = col == current_.first && row == current_.second;
  if (!same && !SelectCell(col, row)) return false;
  InvalidateSelection();
  current_ = {col, row};
  if (moveAnchor || !(options_ & goRangeSelect)) anchor_ = current_;
  InvalidateSelection();
  if (show) ScrollInView(col, row);
  return true;
}

void TCustomGrid::MoveAnchor(int col, int row) {
  if (!(options_ & goRangeSelect)) {
    MoveCurrent(col, row, true, true);
    return;
  }
  InvalidateSelection();
  anchor_ = {col, row};
  InvalidateSelection();
  ScrollInView(col, row);
}

void TCustomGrid::ScrollInView(int col, int row) {
  const SIZE cs = ClientSize();
  if (row >= rows_.fixed) {
    const int whole = rows_.WholeCount(cs.cy, VertFixedLine(), VertLine());
    if (row < rows_.first)
      ScrollAxis(true, row);
    else if (row >= rows_.first + whole)
      ScrollAxis(true, rows_.FirstShowing(row, cs.cy, VertFixedLine(), VertLine()));
  }
  if (col >= cols_.fixed && !(options_ & goRowSelect)) {
    const int whole = cols_.WholeCount(cs.cx, HorzFixedLine(), HorzLine());
    if (col < cols_.first)
      ScrollAxis(false, col);
    else if (col >= cols_.first + whole)
      ScrollAxis(false, cols_.FirstShowing(col, cs.cx, HorzFixedLine(), HorzLine()));
  }
}

void TCustomGrid::UpdateScrollBars() {
  if (!handle_ || updatingBars_ || HasState(csLoading)) return;
  updatingBars_ = true;
  // Which bars are needed, on the client area without them: one bar takes room from the other
  // direction, so the second test follows the first.
  RECT cr;
  GetClientRect(handle_, &cr);
  const LONG style = GetWindowLongW(handle_, GWL_STYLE);
  const int cxv = GetSystemMetrics(SM_CXVSCROLL), cyh = GetSystemMetrics(SM_CYHSCROLL);
  const int fullW = cr.right + ((style & WS_VSCROLL) ? cxv : 0);
  const int fullH = cr.bottom + ((style & WS_HSCROLL) ? cyh : 0);
  const bool allowV = scrollBars_ == ssVertical || scrollBars_ == ssBoth;
  const bool allowH = scrollBars_ == ssHorizontal || scrollBars_ == ssBoth;
  bool needV = allowV && rows_.MaxFirst(fullH, VertFixedLine(), VertLine()) > rows_.fixed;
  const bool needH = allowH && cols_.MaxFirst(fullW - (needV ? cxv : 0), HorzFixedLine(), HorzLine()) > cols_.fixed;
  if (needH && !needV) needV = allowV && rows_.MaxFirst(fullH - cyh, VertFixedLine(), VertLine()) > rows_.fixed;
  ShowScrollBar(handle_, SB_VERT, needV);
  ShowScrollBar(handle_, SB_HORZ, needH);
  const SIZE cs = ClientSize();
  const int maxTop = rows_.MaxFirst(cs.cy, VertFixedLine(), VertLine());
  const int maxLeft = cols_.MaxFirst(cs.cx, HorzFixedLine(), HorzLine());
  bool moved = false;
  for (auto [axis, max] : {std::make_pair(&rows_, maxTop), std::make_pair(&cols_, maxLeft)}) {
    const int first = std::clamp(axis->first, axis->fixed, max);
    if (first != axis->first) {
      axis->first = first;
      moved = true;
    }
  }
  if (needV) {
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, rows_.fixed, rows_.count - 1, static_cast<UINT>(rows_.count - maxTop),
                  rows_.first, 0};
    SetScrollInfo(handle_, SB_VERT, &si, TRUE);
  }
  if (needH) {
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, cols_.fixed, cols_.count - 1, static_cast<UINT>(cols_.count - maxLeft),
                  cols_.first, 0};
    SetScrollInfo(handle_, SB_HORZ, &si, TRUE);
  }
  updatingBars_ = false;
  if (moved) {
    Invalidate();
    TopLeftChanged();
  }
}

void TCustomGrid::ScrollAxis(bool vertical, int first) {
  TAxis& a = vertical ? rows_ : cols_;
  const int fixedLine = vertical ? VertFixedLine() : HorzFixedLine();
  const int line = vertical ? VertLine() : HorzLine();
  const SIZE cs = ClientSize();
  const int extent = vertical ? cs.cy : cs.cx;
  first = std::clamp(first, a.fixed, a.MaxFirst(extent, fixedLine, line));
  const int bar = vertical ? SB_VERT : SB_HORZ;
  if (first == a.first) {
    if (handle_) SetScrollPos(handle_, bar, first, TRUE);
    return;
  }
  // The pixels of the rows (columns) still shown move; what comes into view is drawn.
  const int delta = first > a.first ? -a.Span(a.first, first, line) : a.Span(first, a.first, line);
  a.first = first;
  if (handle_) {
    SetScrollPos(handle_, bar, first, TRUE);
    const int fixedExtent = a.FixedExtent(fixedLine);
    const RECT area = vertical ? RECT{0, fixedExtent, cs.cx, cs.cy} : RECT{fixedExtent, 0, cs.cx, cs.cy};
    if (std::abs(delta) < extent - fixedExtent)
      ScrollWindowEx(handle_, vertical ? 0 : delta, vertical ? delta : 0, &area, &area, nullptr, nullptr, SW_INVALIDATE);
    else
      InvalidateRect(handle_, &area, FALSE);
  }
  TopLeftChanged();
}

void TCustomGrid::OnScroll(bool vertical, WPARAM wParam) {
  TAxis& a = vertical ? rows_ : cols_;
  const int fixedLine = vertical ? VertFixedLine() : HorzFixedLine();
  const int line = vertical ? VertLine() : HorzLine();
  const SIZE cs = ClientSize();
  const int extent = vertical ? cs.cy : cs.cx;
  bool& tracking = vertical ? vertTracking_ : horzTracking_;
  int& track = vertical ? vertTrack_ : horzTrack_;
  int pos = HIWORD(wParam);
  if (a.count > 0xFFFF) {
    // The message carries 16 bits of position: more rows are read from the bar.
    SCROLLINFO si{sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
    if (GetScrollInfo(handle_, vertical ? SB_VERT : SB_HORZ, &si)) pos = si.nTrackPos;
  }
  switch (LOWORD(wParam)) {
    case SB_LINEUP: ScrollAxis(vertical, a.first - 1); break;
    case SB_LINEDOWN: ScrollAxis(vertical, a.first + 1); break;
    case SB_PAGEUP: ScrollAxis(vertical, a.PageBack(a.first, extent, fixedLine, line)); break;
    case SB_PAGEDOWN: ScrollAxis(vertical, a.first + std::max(1, a.WholeCount(extent, fixedLine, line))); break;
    case SB_THUMBTRACK:
      // While the thumb is dragged the grid stays, unless it follows the thumb (goThumbTracking);
      // where the thumb is dropped is kept for the end of the drag.
      tracking = true;
      track = pos;
      if (options_ & goThumbTracking) ScrollAxis(vertical, pos);
      break;
    case SB_THUMBPOSITION:
      tracking = false;
      ScrollAxis(vertical, pos);
      break;
    case SB_TOP: ScrollAxis(vertical, a.fixed); break;
    case SB_BOTTOM: ScrollAxis(vertical, a.count - 1); break;
    case SB_ENDSCROLL:
      if (tracking) {
        tracking = false;
        ScrollAxis(vertical, track);
      }
      // The thumb goes where the grid is.
      if (handle_) SetScrollPos(handle_, vertical ? SB_VERT : SB_HORZ, a.first, TRUE);
      break;
    default: break;
  }
}

void TCustomGrid::KeyDown(WPARAM key) {
  const bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
  const bool extend = shift && (options_ & goRangeSelect) && key != VK_TAB;
  auto [col, row] = extend ? anchor_ : current_;
  const SIZE cs = ClientSize();
  const int page = std::max(1, rows_.WholeCount(cs.cy, VertFixedLine(), VertLine()));
  switch (key) {
    case VK_UP: --row; break;
    case VK_DOWN: ++row; break;
    case VK_LEFT:
      if (options_ & goRowSelect) {
        ScrollAxis(false, cols_.first - 1);
        return;
      }
      --col;
      break;
    case VK_RIGHT:
      if (options_ & goRowSelect) {
        ScrollAxis(false, cols_.first + 1);
        return;
      }
      ++col;
      break;
    case VK_PRIOR: row -= page; break;
    case VK_NEXT: row += page; break;
    case VK_HOME:
      if (ctrl) row = rows_.fixed;
      col = cols_.fixed;
      break;
    case VK_END:
      if (ctrl) row = rows_.count - 1;
      col = cols_.count - 1;
      break;
    case VK_TAB:
      if (!(options_ & goTabs)) return;
      col += shift ? -1 : 1;
      if (col >= cols_.count) {
        col = cols_.fixed;
        ++row;
      } else if (col < cols_.fixed) {
        col = cols_.count - 1;
        --row;
      }
      break;
    default: return;
  }
  col = std::clamp(col, cols_.fixed, cols_.count - 1);
  row = std::clamp(row, rows_.fixed, rows_.count - 1);
  if (extend)
    MoveAnchor(col, row);
  else
    MoveCurrent(col, row, true, true);
}

void TCustomGrid::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (!m.LParam) {
        OnScroll(m.Msg == WM_VSCROLL, m.WParam);
        m.Result = 0;
        return;
      }
      break;
    case WM_GETDLGCODE:
      m.Result = DLGC_WANTARROWS | ((options_ & goTabs) ? DLGC_WANTTAB : 0);
      return;
    case WM_KEYDOWN:
      KeyDown(m.WParam);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (CanFocus() && !Focused()) ::SetFocus(handle_);
      int col, row;
      if (MouseToCell(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam), col, row) && col >= cols_.fixed && row >= rows_.fixed) {
        if ((m.WParam & MK_SHIFT) && (options_ & goRangeSelect))
          MoveAnchor(col, row);
        else
          MoveCurrent(col, row, true, true);
        selecting_ = true;
        SetCapture(handle_);
      }
      break;
    }
    case WM_MOUSEMOVE:
      if (selecting_ && (options_ & goRangeSelect)) {
        // The other end of the range follows the mouse, within the cells shown.
        const SIZE cs = ClientSize();
        const int x = std::clamp(static_cast<int>(GET_X_LPARAM(m.LParam)), 0, std::max<int>(cs.cx - 1, 0));
        const int y = std::clamp(static_cast<int>(GET_Y_LPARAM(m.LParam)), 0, std::max<int>(cs.cy - 1, 0));
        int col, row;
        if (MouseToCell(x, y, col, row)) {
          col = std::max(col, cols_.fixed);
          row = std::max(row, rows_.fixed);
          if (std::make_pair(col, row) != anchor_) MoveAnchor(col, row);
        }
      }
      break;
    case WM_LBUTTONUP:
      if (selecting_) {
        selecting_ = false;
        if (GetCapture() == handle_) ReleaseCapture();
        Click();
      }
      break;
    case WM_CAPTURECHANGED:
      selecting_ = false;
      break;
    case WM_MOUSEWHEEL: {
      UINT lines = 3;
      SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
      wheelRest_ += GET_WHEEL_DELTA_WPARAM(m.WParam);
      const int notches = wheelRest_ / WHEEL_DELTA;
      wheelRest_ -= notches * WHEEL_DELTA;
      if (notches) {
        const SIZE cs = ClientSize();
        const int step = lines == WHEEL_PAGESCROLL ? std::max(1, rows_.WholeCount(cs.cy, VertFixedLine(), VertLine())) : static_cast<int>(lines);
        ScrollAxis(true, rows_.first - notches * step);
      }
      m.Result = 0;
      return;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateSelection();
      break;
    case WM_ERASEBKGND:
      m.Result = 1;  // every pixel is painted by Paint
      return;
    case WM_SIZE:
      TCustomControl::WndProc(m);
      UpdateScrollBars();
      Invalidate();
      return;
    default:
      break;
  }
  TCustomControl::WndProc(m);
}

void TCustomGrid::Paint() {
  TCanvas& c = Canvas();
  HDC dc = c.Handle();
  RECT clip;
  if (GetClipBox(dc, &clip) == NULLREGION) return;
  const SIZE cs = ClientSize();
  const TGridRect sel = Selection();
  const bool focused = Focused();
  const TColor fontColor = font_.Color();
  const int hfl = HorzFixedLine(), hl = HorzLine(), vfl = VertFixedLine(), vl = VertLine();
  // The columns and rows that show, with where they start.
  const auto shown = [](const TAxis& a, int fixedLine, int line, int extent) {
    std::vector<std::pair<int, int>> out;
    int p = 0;
    for (int i = 0; i < a.fixed && p < extent; ++i) {
      out.emplace_back(i, p);
      p += a.Size(i) + fixedLine;
    }
    for (int i = a.first; i < a.count && p < extent; ++i) {
      out.emplace_back(i, p);
      p += a.Size(i) + line;
    }
    return std::make_pair(out, p);
  };
  const auto [colsShown, gridRight] = shown(cols_, hfl, hl, cs.cx);
  const auto [rowsShown, gridBottom] = shown(rows_, vfl, vl, cs.cy);
  for (const auto& [row, y] : rowsShown) {
    for (const auto& [col, x] : colsShown) {
      const bool fixedCell = col < cols_.fixed || row < rows_.fixed;
      const int lineRight = col < cols_.fixed ? hfl : hl;
      const int lineBottom = row < rows_.fixed ? vfl : vl;
      const RECT cell{x, y, x + cols_.Size(col), y + rows_.Size(row)};
      const RECT whole{cell.left, cell.top, cell.right + lineRight, cell.bottom + lineBottom};
      RECT meet;
      if (!IntersectRect(&meet, &whole, &clip)) continue;
      TGridDrawState state = 0;
      if (fixedCell) state |= gdFixed;
      if (!fixedCell && sel.Contains(col, row)) state |= gdSelected;
      if (col == current_.first && row == current_.second) state |= gdFocused;
      // The current cell shows as selected only with goDrawFocusSelected (or in a selected row).
      const bool highlight = (state & gdSelected) &&
                             (!(state & gdFocused) || (options_ & (goDrawFocusSelected | goRowSelect)) != 0);
      c.Brush.style = TBrushStyle::bsSolid;
      c.Brush.color = fixedCell ? fixedColor_ : highlight ? clHighlight : color_;
      c.Font().SetColor(highlight ? clHighlightText : fontColor);
      if (defaultDrawing_) c.FillRect(cell);
      {
        // A cell draws within its own rectangle.
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, cell.left, cell.top, cell.right, cell.bottom);
        DrawCell(col, row, cell, state);
        RestoreDC(dc, saved);
      }
      if (fixedCell && defaultDrawing_ && (options_ & goFixedVertLine) && (options_ & goFixedHorzLine)) {
        RECT edge = cell;
        DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
      }
      if ((state & gdFocused) && focused && !(options_ & goRowSelect)) c.DrawFocusRect(cell);
      // The grid lines to the right of and below the cell.
      c.Brush.style = TBrushStyle::bsSolid;
      c.Brush.color = fixedCell ? clBlack : clSilver;
      if (lineRight > 0) c.FillRect(RECT{cell.right, cell.top, cell.right + lineRight, cell.bottom + lineBottom});
      if (lineBottom > 0) c.FillRect(RECT{cell.left, cell.bottom, cell.right, cell.bottom + lineBottom});
    }
  }
  // A selected row shows the focus around its cells.
  if (focused && (options_ & goRowSelect)) {
    const RECT first = CellRect(std::max(cols_.first, cols_.fixed), current_.second);
    if (first.bottom > first.top) c.DrawFocusRect(RECT{first.left, first.top, std::min<LONG>(gridRight, cs.cx), first.bottom});
  }
  // What lies beyond the last column and row.
  c.Brush.style = TBrushStyle::bsSolid;
  c.Brush.color = color_;
  if (gridRight < cs.cx) c.FillRect(RECT{gridRight, 0, cs.cx, cs.cy});
  if (gridBottom < cs.cy) c.FillRect(RECT{0, gridBottom, std::min<LONG>(gridRight, cs.cx), cs.cy});
}

// ----- draw grids and string grids -----

void TDrawGrid::DrawCell(int col, int row, const RECT& rect, TGridDrawState state) {
  if (OnDrawCell) OnDrawCell(this, col, row, rect, state);
}

std::wstring TStringGrid::Cells(int col, int row) const {
  if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount()) throw EInvalidGridOperation("Grid index out of range");
  const auto it = cells_.find({col, row});
  return it == cells_.end() ? std::wstring() : it->second.text;
}

void TStringGrid::SetCells(int col, int row, const std::wstring& text) {
  if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount()) throw EInvalidGridOperation("Grid index out of range");
  TCell& cell = cells_[{col, row}];
  cell.text = text;
  if (text.empty() && !cell.object) cells_.erase({col, row});
  InvalidateCell(col, row);
}

TObject* TStringGrid::Objects(int col, int row) const {
  if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount()) throw EInvalidGridOperation("Grid index out of range");
  const auto it = cells_.find({col, row});
  return it == cells_.end() ? nullptr : it->second.object;
}

void TStringGrid::SetObjects(int col, int row, TObject* object) {
  if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount()) throw EInvalidGridOperation("Grid index out of range");
  TCell& cell = cells_[{col, row}];
  cell.object = object;
  if (cell.text.empty() && !object) cells_.erase({col, row});
}

void TStringGrid::SizeChanged(int oldColCount, int oldRowCount) {
  for (auto it = cells_.begin(); it != cells_.end();)
    it = it->first.first >= ColCount() || it->first.second >= RowCount() ? cells_.erase(it) : std::next(it);
}

void TStringGrid::DrawCell(int col, int row, const RECT& rect, TGridDrawState state) {
  if (DefaultDrawing()) {
    const auto it = cells_.find({col, row});
    if (it != cells_.end() && !it->second.text.empty()) {
      TCanvas& c = Canvas();
      c.Brush.style = TBrushStyle::bsClear;
      RECT r{rect.left + 2, rect.top + 2, rect.right - 2, rect.bottom};
      c.DrawText(it->second.text, r, DrawTextBiDiModeFlags(DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | DT_TOP));
      c.Brush.style = TBrushStyle::bsSolid;
    }
  }
  TDrawGrid::DrawCell(col, row, rect, state);
}

}  // namespace vex::host
