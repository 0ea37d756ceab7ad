// Grids drawn by the framework: rows and columns of cells with fixed rows and columns at the top
// and left, grid lines, a current cell and a selection, scrolled by whole rows and columns with
// the window's own scroll bars. TDrawGrid leaves the cells to the application; TStringGrid
// shows a text in each.
#pragma once

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "host/control_types.h"
#include "host/win_control.h"

namespace vex::host {

class EInvalidGridOperation : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum TGridOption : unsigned {
  goFixedVertLine = 1u << 0,
  goFixedHorzLine = 1u << 1,
  goVertLine = 1u << 2,
  goHorzLine = 1u << 3,
  goRangeSelect = 1u << 4,
  goDrawFocusSelected = 1u << 5,
  goRowSizing = 1u << 6,
  goColSizing = 1u << 7,
  goRowMoving = 1u << 8,
  goColMoving = 1u << 9,
  goEditing = 1u << 10,
  goTabs = 1u << 11,
  goRowSelect = 1u << 12,
  goAlwaysShowEditor = 1u << 13,
  goThumbTracking = 1u << 14,
};
using TGridOptions = unsigned;

enum TGridDrawStateFlag : unsigned { gdSelected = 1u << 0, gdFocused = 1u << 1, gdFixed = 1u << 2 };
using TGridDrawState = unsigned;

// A block of cells, corners included.
struct TGridRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool Contains(int col, int row) const { return col >= Left && col <= Right && row >= Top && row <= Bottom; }
  bool operator==(const TGridRect& o) const { return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom; }
};

using TDrawCellEvent = std::function<void(TObject* sender, int col, int row, const RECT& rect, TGridDrawState state)>;
using TSelectCellEvent = std::function<void(TObject* sender, int col, int row, bool& canSelect)>;

class TCustomGrid : public TCustomControl {
  VEX_CLASS(TCustomGrid)
 public:
  explicit TCustomGrid(TComponent* owner, const TClassInfo& cls = StaticClass());

  int ColCount() const { return cols_.count; }
  void SetColCount(int v);
  int RowCount() const { return rows_.count; }
  void SetRowCount(int v);
  // The fixed columns and rows stay at the left and top while the rest scrolls; there is always
  // at least one column and row that is not fixed.
  int FixedCols() const { return cols_.fixed; }
  void SetFixedCols(int v);
  int FixedRows() const { return rows_.fixed; }
  void SetFixedRows(int v);
  TColor FixedColor() const { return fixedColor_; }
  void SetFixedColor(TColor c);
  // Setting a default size gives every column (row) that size.
  int DefaultColWidth() const { return cols_.defaultSize; }
  void SetDefaultColWidth(int v);
  int DefaultRowHeight() const { return rows_.defaultSize; }
  void SetDefaultRowHeight(int v);
  // The cells scale with the grid (every column width and row height, and their defaults).
  void ChangeScale(int m, int d) override;
  int ColWidths(int col) const;
  void SetColWidths(int col, int width);
  int RowHeights(int row) const;
  void SetRowHeights(int row, int height);
  int GridLineWidth() const { return gridLineWidth_; }
  void SetGridLineWidth(int v);
  TGridOptions Options() const { return options_; }
  void SetOptions(TGridOptions o);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle s);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle s);
  // The background of each cell is painted before the cell is drawn (and, in a string grid,
  // its text).
  bool DefaultDrawing() const { return defaultDrawing_; }
  void SetDefaultDrawing(bool v);

  // The current cell; moving it asks OnSelectCell first and scrolls it into view.
  int Col() const { return current_.first; }
  void SetCol(int v);
  int Row() const { return current_.second; }
  void SetRow(int v);
  // The selected block: the current cell and the other end of a range (whole rows with
  // goRowSelect).
  TGridRect Selection() const;
  void SetSelection(const TGridRect& r);
  // The first scrolling column and row shown.
  int LeftCol() const { return cols_.first; }
  void SetLeftCol(int v);
  int TopRow() const { return rows_.first; }
  void SetTopRow(int v);
  // How many scrolling columns and rows show whole.
  int VisibleColCount() const;
  int VisibleRowCount() const;
  // A cell's rectangle in the client area; empty when the cell is scrolled out of view.
  RECT CellRect(int col, int row) const;
  // The cell at a client point; false (and -1, -1) when there is none there.
  bool MouseToCell(int x, int y, int& col, int& row) const;

  TSelectCellEvent OnSelectCell;
  TNotifyEvent OnTopLeftChanged;

 protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void WndProc(TMessage& m) override;
  void Paint() override;
  void Loaded() override;
  void DefineProperties(TFiler& filer) override;
  // Draws the content of one cell (its background is painted already when DefaultDrawing).
  virtual void DrawCell(int col, int row, const RECT& rect, TGridDrawState state) {}
  // Whether the cell may become the current one (OnSelectCell).
  virtual bool SelectCell(int col, int row);
  virtual void TopLeftChanged();
  // The number of columns or rows changed (cells beyond the new counts are gone).
  virtual void SizeChanged(int oldColCount, int oldRowCount) {}
  void InvalidateCell(int col, int row);

 private:
  // One direction of the grid: the columns or the rows.
  struct TAxis {
    int count = 5, fixed = 1, defaultSize = 64, first = 1;
    std::vector<int> sizes;
    int Size(int i) const { return sizes[static_cast<std::size_t>(i)]; }
    void Resize(int n);
    // Pixels taken by the fixed cells, each with its line.
    int FixedExtent(int fixedLine) const;
    // Where cell i starts, or -1 when it is scrolled out of view.
    int Pos(int i, int fixedLine, int line) const;
    // The highest first index for which the last cell shows whole in `extent` pixels.
    int MaxFirst(int extent, int fixedLine, int line) const;
    // Scrolling cells from `first` that show whole, and the last that shows at all.
    int WholeCount(int extent, int fixedLine, int line) const;
    int LastShown(int extent, int fixedLine, int line) const;
    // The first index of the page before `from`.
    int PageBack(int from, int extent, int fixedLine, int line) const;
    // The first index that makes cell i show whole.
    int FirstShowing(int i, int extent, int fixedLine, int line) const;
    // Pixels between the starts of scrolling cells a and b (a <= b).
    int Span(int a, int b, int line) const;
    // The cell at pixel p, or -1.
    int At(int p, int extent, int fixedLine, int line) const;
  };
  int HorzFixedLine() const { return (options_ & goFixedVertLine) ? gridLineWidth_ : 0; }
  int HorzLine() const { return (options_ & goVertLine) ? gridLineWidth_ : 0; }
  int VertFixedLine() const { return (options_ & goFixedHorzLine) ? gridLineWidth_ : 0; }
  int VertLine() const { return (options_ & goHorzLine) ? gridLineWidth_ : 0; }
  SIZE ClientSize() const;
  void UpdateScrollBars();
  void ScrollAxis(bool vertical, int first);
  void OnScroll(bool vertical, WPARAM wParam);
  // Moves the current cell (and with moveAnchor the other end of the selection); false when
  // OnSelectCell refused.
  bool MoveCurrent(int col, int row, bool moveAnchor, bool show);
  void MoveAnchor(int col, int row);
  void ScrollInView(int col, int row);
  void InvalidateSelection();
  RECT BlockRect(const TGridRect& r) const;
  void KeyDown(WPARAM key);
  void Changed();
  void ClampPositions();
  void CheckCell(int col, int row) const;

  TAxis cols_, rows_;
  TColor fixedColor_ = clBtnFace;
  int gridLineWidth_ = 1;
  TGridOptions options_ = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
  TScrollStyle scrollBars_ = ssBoth;
  TBorderStyle borderStyle_ = bsSingle;
  bool defaultDrawing_ = true;
  std::pair<int, int> current_{1, 1}, anchor_{1, 1};
  bool updatingBars_ = false;
  bool selecting_ = false;
  // A thumb dragged without goThumbTracking: where it was dropped, scrolled to at the end.
  bool vertTracking_ = false, horzTracking_ = false;
  int vertTrack_ = 0, horzTrack_ = 0;
  int wheelRest_ = 0;
};

class TDrawGrid : public TCustomGrid {
  VEX_CLASS(TDrawGrid)
 public:
  explicit TDrawGrid(TComponent* owner, const TClassInfo& cls = StaticClass()) : TCustomGrid(owner, cls) {}
  TDrawCellEvent OnDrawCell;

 protected:
  void DrawCell(int col, int row, const RECT& rect, TGridDrawState state) override;
};

class TStringGrid : public TDrawGrid {
  VEX_CLASS(TStringGrid)
 public:
  explicit TStringGrid(TComponent* owner, const TClassInfo& cls = StaticClass()) : TDrawGrid(owner, cls) {}
  std::wstring Cells(int col, int row) const;
  void SetCells(int col, int row, const std::wstring& text);
  // An object the application keeps with a cell (not owned).
  TObject* Objects(int col, int row) const;
  void SetObjects(int col, int row, TObject* object);

 protected:
  void DrawCell(int col, int row, const RECT& rect, TGridDrawState state) override;
  void SizeChanged(int oldColCount, int oldRowCount) override;

 private:
  struct TCell {
    std::wstring text;
    TObject* object = nullptr;
  };
  std::map<std::pair<int, int>, TCell> cells_;
};

}  // namespace vex::host
