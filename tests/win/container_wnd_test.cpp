// Native group boxes, static controls, status bars and tool bars of skinned windows: which wrapper
// each gets, the pixels each shows in the skin's colours, what is left to the control, and the
// control's own look once the skin is off.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "controls/container_wnd.h"
#include "dialog_template.h"
#include "engine/skin_engine.h"
#include "engine/skin_window.h"
#include "host/color.h"
#include "image/image.h"
#include "image/raster.h"
#include "skin2/skin_keys.h"
#include "skin_variant.h"
#include "skinned_engine_fixture.h"
#include "utils/platform_helpers.h"

namespace vex::engine {
namespace {

using namespace vex::host;
namespace keys = vex::skin2;
using test::PumpMessages;

// The skin's control font colour is one no system colour has, so that text in it can only be
// the skin's.
constexpr COLORREF kInk = RGB(170, 30, 40);

INT_PTR CALLBACK QuietProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

// Pixels of a window as the screen shows them, in its own (unmirrored) coordinates.
class TShot {
 public:
  explicit TShot(HWND wnd) {
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessages();
    GetWindowRect(wnd, &r_);
    HDC screen = GetDC(nullptr);
    pixels_.resize(static_cast<std::size_t>(Width() * Height()));
    for (int y = 0; y < Height(); ++y)
      for (int x = 0; x < Width(); ++x) pixels_[static_cast<std::size_t>(y * Width() + x)] = GetPixel(screen, r_.left + x, r_.top + y);
    ReleaseDC(nullptr, screen);
  }
  int Width() const { return r_.right - r_.left; }
  int Height() const { return r_.bottom - r_.top; }
  COLORREF At(int x, int y) const { return pixels_[static_cast<std::size_t>(y * Width() + x)]; }
  // How many pixels of (left, top, right, bottom) have colour c.
  int Count(COLORREF c, int left, int top, int right, int bottom) const {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) n += At(x, y) == c;
    return n;
  }
  int Count(COLORREF c) const { return Count(c, 0, 0, Width(), Height()); }
  // The first and last columns holding colour c in rows [top, bottom), or -1.
  std::pair<int, int> Columns(COLORREF c, int top, int bottom) const {
    int first = -1, last = -1;
    for (int x = 0; x < Width(); ++x)
      for (int y = top; y < bottom; ++y)
        if (At(x, y) == c) {
          if (first < 0) first = x;
          last = x;
        }
    return {first, last};
  }
  std::uint64_t Hash() const {
    std::uint64_t h = 1469598103934665603ull;
    for (COLORREF p : pixels_) h = (h ^ p) * 1099511628211ull;
    return h;
  }

 private:
  RECT r_{};
  std::vector<COLORREF> pixels_;
};

class NativeContainers : public test::TSkinnedEngineTest {
 protected:
  void SetUp() override {
    TSkinnedEngineTest::SetUp();
    test::TSkinVariant inked;
    inked.integers["SKIN2_CONTROLFONTCOLOR"] = static_cast<std::int32_t>(kInk);
    UseSkin("inked.vsk", inked);
    // Windows are made unskinned and attached by each test.
    engine->SetSkinDialogs(false);
  }
  void TearDown() override {
    for (HWND w : windows)
      if (IsWindow(w)) DestroyWindow(w);
    PumpMessages();
    LastDestroyedDialog() = nullptr;
  }
  void UseSkin(const char* name, const test::TSkinVariant& v) {
    test::WriteFile(dir / name, v.Archive());
    engine->SetSkinFile((dir / name).u8string());
    ASSERT_TRUE(engine->IsSkinActive());
  }
  // An empty dialog at (100, 100), shown and not skinned yet.
  HWND Dialog(int w = 420, int h = 300, DLGPROC proc = QuietProc) {
    test::TDialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, L"Containers");
    HWND dlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, proc, 0);
    EXPECT_NE(dlg, nullptr);
    windows.push_back(dlg);
    SetWindowPos(dlg, HWND_TOP, 100, 100, w, h, SWP_NOACTIVATE);
    ShowWindow(dlg, SW_SHOW);
    SetForegroundWindow(dlg);
    PumpMessages();
    return dlg;
  }
  static HWND Child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, DWORD ex, int x, int y, int w, int h, int id = 0) {
    HWND c = CreateWindowExW(ex, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    EXPECT_NE(c, nullptr) << static_cast<const void*>(cls);
    return c;
  }
  void Skin(HWND dlg) {
    engine->AttachWindow(dlg, true);
    PumpMessages();
    ASSERT_NE(engine->FindFrame(dlg), nullptr);
  }
  std::string WrapperClass(HWND dlg, HWND control) const {
    if (TvexSkinWindow* f = engine->FindFrame(dlg))
      for (const auto& c : f->FControls)
        if (c && c->GetHandle() == control) return c->ClassName();
    return "";
  }
  COLORREF Skin(keys::color::TColorKey key) const { return static_cast<COLORREF>(ColorToRGB(engine->GetSkinColor(key))); }
  COLORREF Form() const { return static_cast<COLORREF>(ColorToRGB(engine->GetFormColor())); }
  COLORREF Border() const { return Skin(keys::color::SKIN2_CONTROLBORDERCOLOR); }

  std::vector<HWND> windows;
};

// The height of "0" in a control's font, which places a group box's frame line.
int ZeroHeight(HWND control) {
  HDC dc = GetDC(control);
  HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0));
  HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
  SIZE s{};
  GetTextExtentPoint32W(dc, L"0", 1, &s);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return s.cy;
}

TEST(ContainerPainters, TextStaticsDrawWithTheFlagsTheirStylesAskFor) {
  struct TCase {
    DWORD style, ex;
    UINT format;
  };
  const TCase cases[] = {
      {SS_LEFT, 0, DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK},
      {SS_CENTER, 0, DT_CENTER | DT_EXPANDTABS | DT_WORDBREAK},
      {SS_RIGHT | SS_NOPREFIX, 0, DT_RIGHT | DT_EXPANDTABS | DT_WORDBREAK | DT_NOPREFIX},
      {SS_LEFTNOWORDWRAP, 0, DT_LEFT | DT_EXPANDTABS},
      {SS_SIMPLE | SS_CENTERIMAGE | SS_ENDELLIPSIS, 0, DT_LEFT | DT_SINGLELINE},
      {SS_LEFT | SS_CENTERIMAGE, 0, DT_LEFT | DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER},
      {SS_LEFT | SS_ENDELLIPSIS, 0, DT_LEFT | DT_EXPANDTABS | DT_SINGLELINE | DT_END_ELLIPSIS},
      {SS_LEFT | SS_PATHELLIPSIS, 0, DT_LEFT | DT_EXPANDTABS | DT_SINGLELINE | DT_PATH_ELLIPSIS},
      {SS_CENTER | SS_WORDELLIPSIS, 0, DT_CENTER | DT_EXPANDTABS | DT_SINGLELINE | DT_WORD_ELLIPSIS},
      {SS_LEFT | SS_EDITCONTROL, 0, DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK | DT_EDITCONTROL},
      {SS_CENTER, WS_EX_RIGHT, DT_RIGHT | DT_EXPANDTABS | DT_WORDBREAK},
      {SS_LEFT, WS_EX_RTLREADING, DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK | DT_RTLREADING},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(StaticKindOf(c.style), TStaticKind::Text) << std::hex << c.style;
    EXPECT_EQ(StaticTextFormat(c.style, c.ex), c.format) << std::hex << c.style << " " << c.ex;
  }
  for (DWORD own : {SS_ICON, SS_BITMAP, SS_OWNERDRAW, SS_ENHMETAFILE, SS_USERITEM})
    EXPECT_EQ(StaticKindOf(own | SS_CENTERIMAGE), TStaticKind::Own) << own;
}

TEST(ContainerPainters, StatusTextSplitsAtItsTabsIntoLeftCentredAndRightRuns) {
  struct TCase {
    const wchar_t* text;
    TStatusTextRuns runs;
  };
  const TCase cases[] = {
      {L"Ready", {L"Ready", L"", L""}},
      {L"\tMiddle", {L"", L"Middle", L""}},
      {L"\t\tEnd", {L"", L"", L"End"}},
      {L"a\tb\tc", {L"a", L"b", L"c"}},
      {L"a\t\tc\td", {L"a", L"", L"c\td"}},
      {L"", {L"", L"", L""}},
  };
  for (const TCase& c : cases) {
    const TStatusTextRuns r = SplitStatusText(c.text);
    EXPECT_EQ(r.left, c.runs.left) << static_cast<const void*>(c.text);
    EXPECT_EQ(r.centre, c.runs.centre);
    EXPECT_EQ(r.right, c.runs.right);
  }
}

// ---------------------------------------------------------------------------------------------
// Group boxes

TEST_F(NativeContainers, AGroupBoxShowsTheSkinsFrameAndItsCaptionAtEightOrAtTheRightEnd) {
  enum class TPlace { None, Left, Right };
  struct TCase {
    const wchar_t* text;
    DWORD style, ex;
    TPlace place;
  };
  const TCase cases[] = {
      {L"", 0, 0, TPlace::None},
      {L"Options", 0, 0, TPlace::Left},
      {L"Options", 0, WS_EX_RTLREADING, TPlace::Right},
      {L"Options", BS_RIGHT, 0, TPlace::Right},
      // A mirrored window draws its caption at the start of its reading order: the right end.
      {L"Options", 0, WS_EX_LAYOUTRTL, TPlace::Right},
  };
  HWND dlg = Dialog();
  std::vector<HWND> boxes;
  int y = 4;
  for (const TCase& c : cases) {
    boxes.push_back(Child(dlg, L"BUTTON", c.text, BS_GROUPBOX | c.style, c.ex, 10, y, 200, 48));
    y += 52;
  }
  // A check box inside the first box: it lies under the box in z-order.
  HWND inside = Child(dlg, L"BUTTON", L"Inside", BS_AUTOCHECKBOX, 0, 20, 24, 120, 16);
  Skin(dlg);
  const COLORREF form = Form(), border = Border();
  ASSERT_NE(form, border);
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    const TCase& c = cases[i];
    HWND box = boxes[i];
    ASSERT_EQ(WrapperClass(dlg, box), "TvexSkinWndGroupBox");
    const TShot shot(box);
    const int w = shot.Width(), h = shot.Height(), top = ZeroHeight(box) / 2 - 1;
    // The one-pixel frame (0, top, w - 1, h - 1) in the border colour; the control's own second
    // line and its last column and row in the form colour. A mirrored box has it mirrored.
    const auto x = [&](int logical) { return (c.ex & WS_EX_LAYOUTRTL) ? w - 1 - logical : logical; };
    EXPECT_EQ(shot.At(x(0), h / 2), border) << i;
    EXPECT_EQ(shot.At(x(w - 2), h / 2), border) << i;
    EXPECT_EQ(shot.At(w / 2, h - 2), border) << i;
    EXPECT_EQ(shot.At(x(1), h / 2), form) << i;
    EXPECT_EQ(shot.At(x(w - 1), h / 2), form) << i;
    EXPECT_EQ(shot.At(w / 2, h - 1), form) << i;
    EXPECT_EQ(shot.At(w / 2, top + 1), form) << i;
    const auto [first, last] = shot.Columns(kInk, 0, top + 8);
    switch (c.place) {
      case TPlace::None:
        EXPECT_EQ(first, -1) << "no caption";
        EXPECT_EQ(shot.Count(border, 0, top, w - 1, top + 1), w - 1) << "an unbroken top line";
        break;
      case TPlace::Left:
        EXPECT_GE(first, 8) << i;
        EXPECT_LE(first, 10) << i;
        break;
      case TPlace::Right:
        // The caption ends 8 pixels before the box's last column (glyphs leave a few blank
        // columns at the end of the text).
        EXPECT_LE(last, w - 1 - 8) << i;
        EXPECT_GE(last, w - 1 - 8 - 6) << i;
        break;
    }
    if (c.place != TPlace::None) {
      // The caption's background, in the form colour, cuts the top line.
      EXPECT_GT(shot.Count(form, first, top, last + 1, top + 1), 0) << i;
      EXPECT_EQ(shot.Count(border, 0, top, 6, top + 1) + shot.Count(border, w - 6, top, w, top + 1), 6 + 5) << i;
    }
  }
  // The box paints nothing over the control it holds.
  const std::uint64_t before = TShot(inside).Hash();
  RedrawWindow(boxes[0], nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  HDC screen = GetDC(nullptr);
  RECT r;
  GetWindowRect(inside, &r);
  std::uint64_t after = 1469598103934665603ull;
  for (int yy = r.top; yy < r.bottom; ++yy)
    for (int x = r.left; x < r.right; ++x) after = (after ^ GetPixel(screen, x, yy)) * 1099511628211ull;
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(after, before);
}

// ---------------------------------------------------------------------------------------------
// Static controls

TEST_F(NativeContainers, StaticTextTakesTheSkinsColoursOnAChildDialogAndInAPlainWindow) {
  HWND dlg = Dialog();
  Skin(dlg);
  // A page made after the dialog was skinned, as a property sheet makes its pages.
  test::TDialogTemplate page(WS_CHILD | WS_VISIBLE | DS_CONTROL, L"");
  page.Item(L"STATIC", L"Page text", 1, SS_LEFT, 10, 10, 100, 12);
  page.Item(L"STATIC", L"Disabled", 2, SS_LEFT | WS_DISABLED, 10, 30, 100, 12);
  HWND child = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), page.Get(), dlg, QuietProc, 0);
  ASSERT_NE(child, nullptr);
  SetWindowPos(child, nullptr, 0, 0, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
  PumpMessages();
  HWND text = GetDlgItem(child, 1), disabled = GetDlgItem(child, 2);
  EXPECT_EQ(WrapperClass(dlg, child), "TvexSkinWndChildDialog");
  ASSERT_EQ(WrapperClass(dlg, text), "TvexSkinWndStatic");
  const COLORREF form = Form(), grey = RGB(128, 128, 128);
  const TShot page1(text);
  EXPECT_GT(page1.Count(kInk), 10) << "text in the skin's control font colour";
  EXPECT_EQ(page1.Count(kInk) + page1.Count(form), page1.Width() * page1.Height()) << "on the form colour, nothing else";
  const TShot page2(disabled);
  EXPECT_EQ(page2.Count(kInk), 0);
  EXPECT_GT(page2.Count(grey), 10) << "disabled text is grey";
  EXPECT_EQ(TShot(child).At(290, 190), form) << "the page stands in the form colour";

  // A static whose parent is a plain window that gives its children the system's colours.
  static const bool registered = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    wc.lpszClassName = L"VexPlainContainerTest";
    return RegisterClassW(&wc) != 0;
  }();
  ASSERT_TRUE(registered);
  HWND plain = CreateWindowExW(0, L"VexPlainContainerTest", L"", WS_POPUP | WS_VISIBLE, 100, 450, 200, 60, nullptr, nullptr, nullptr, nullptr);
  windows.push_back(plain);
  HWND label = Child(plain, L"STATIC", L"Plain text", SS_CENTER | SS_CENTERIMAGE, 0, 10, 10, 150, 30);
  PumpMessages();
  const TShot own(label);
  EXPECT_EQ(own.Count(kInk), 0);
  std::unique_ptr<TvexSkinControlWnd> w(CreateWindowWrapper(label, engine->FindFrame(dlg)));
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->ClassName(), "TvexSkinWndStatic");
  const TShot skinned(label);
  EXPECT_GT(skinned.Count(kInk), 10);
  EXPECT_EQ(skinned.Count(kInk) + skinned.Count(form), skinned.Width() * skinned.Height());
  // Centred both ways.
  const auto [first, last] = skinned.Columns(kInk, 0, skinned.Height());
  EXPECT_NEAR((first + last) / 2, skinned.Width() / 2, 3);
  int top = -1, bottom = -1;
  for (int y = 0; y < skinned.Height(); ++y)
    if (skinned.Count(kInk, 0, y, skinned.Width(), y + 1) > 0) {
      if (top < 0) top = y;
      bottom = y;
    }
  EXPECT_NEAR((top + bottom) / 2, skinned.Height() / 2, 4);
  w->Detach();
}

TEST_F(NativeContainers, LinesAndFramesTakeTheBorderColourAndPicturesPaintThemselves) {
  HWND dlg = Dialog();
  const HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
  struct TCase {
    DWORD style;
    int w, h;
    std::function<void(const TShot&, COLORREF border, COLORREF form)> check;
  };
  const TCase cases[] = {
      {SS_ETCHEDHORZ, 120, 2,
       [](const TShot& s, COLORREF border, COLORREF form) {
         EXPECT_EQ(s.Count(border, 0, 0, s.Width(), 1), s.Width()) << "the line";
         EXPECT_EQ(s.Count(form, 0, 1, s.Width(), 2), s.Width());
       }},
      {SS_ETCHEDVERT, 2, 60,
       [](const TShot& s, COLORREF border, COLORREF form) {
         EXPECT_EQ(s.Count(border, 0, 0, 1, s.Height()), s.Height());
         EXPECT_EQ(s.Count(form, 1, 0, 2, s.Height()), s.Height());
       }},
      {SS_ETCHEDFRAME, 80, 40,
       [](const TShot& s, COLORREF border, COLORREF form) {
         EXPECT_EQ(s.At(0, 20), border);
         EXPECT_EQ(s.At(79, 20), border);
         EXPECT_EQ(s.At(40, 39), border);
         EXPECT_EQ(s.At(1, 20), form) << "the control's second line is covered";
       }},
      {SS_BLACKFRAME, 80, 40,
       [](const TShot& s, COLORREF border, COLORREF) {
         EXPECT_EQ(s.At(0, 0), border);
         EXPECT_EQ(s.At(79, 39), border);
         EXPECT_NE(s.At(40, 20), border) << "a frame is not filled";
       }},
      {SS_GRAYRECT, 30, 20, [](const TShot& s, COLORREF border, COLORREF) { EXPECT_EQ(s.Count(border), 30 * 20); }},
  };
  std::vector<HWND> statics;
  int x = 10;
  for (const TCase& c : cases) {
    statics.push_back(Child(dlg, L"STATIC", L"", c.style, 0, x, 10, c.w, c.h));
    x += c.w + 10;
  }
  HWND iconStatic = Child(dlg, L"STATIC", L"", SS_ICON, 0, 10, 100, 32, 32);
  SendMessageW(iconStatic, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  HWND bitmapStatic = Child(dlg, L"STATIC", L"", SS_BITMAP, 0, 60, 100, 16, 16);
  HBITMAP picture = CreateBitmap(16, 16, 1, 32, nullptr);
  SendMessageW(bitmapStatic, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
  Skin(dlg);
  for (std::size_t i = 0; i < statics.size(); ++i) {
    SCOPED_TRACE(i);
    ASSERT_EQ(WrapperClass(dlg, statics[i]), "TvexSkinWndStatic");
    cases[i].check(TShot(statics[i]), Border(), Form());
  }
  // A picture is painted by the control: through the wrapper the same pixels come as from the
  // control's own procedure.
  for (HWND s : {iconStatic, bitmapStatic}) {
    ASSERT_EQ(WrapperClass(dlg, s), "TvexSkinWndStatic");
    const auto print = [s](bool own) {
      HDC screen = GetDC(nullptr);
      HDC dc = CreateCompatibleDC(screen);
      HBITMAP bmp = CreateCompatibleBitmap(screen, 32, 32);
      HGDIOBJ old = SelectObject(dc, bmp);
      PatBlt(dc, 0, 0, 32, 32, BLACKNESS);
      if (own)
        CallWindowProcW(reinterpret_cast<WNDPROC>(GetClassLongPtrW(s, GCLP_WNDPROC)), s, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
      else
        SendMessageW(s, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
      std::vector<COLORREF> px;
      for (int y = 0; y < 32; ++y)
        for (int x2 = 0; x2 < 32; ++x2) px.push_back(GetPixel(dc, x2, y));
      SelectObject(dc, old);
      DeleteObject(bmp);
      DeleteDC(dc);
      ReleaseDC(nullptr, screen);
      return px;
    };
    EXPECT_EQ(print(false), print(true));
  }
  DestroyWindow(bitmapStatic);
  DeleteObject(picture);
}

// ---------------------------------------------------------------------------------------------
// Status bars

enum : int { idBar = 300, idBare = 301 };
constexpr ULONG_PTR kOwnerData = 0x5EED;
COLORREF gOwnerFill = RGB(10, 160, 60);
ULONG_PTR gOwnerDataSeen = 0;

INT_PTR CALLBACK OwnerDrawProc(HWND, UINT msg, WPARAM, LPARAM lParam) {
  if (msg == WM_INITDIALOG) return TRUE;
  if (msg == WM_DRAWITEM) {
    const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    gOwnerDataSeen = dis->itemData;
    HBRUSH b = CreateSolidBrush(gOwnerFill);
    FillRect(dis->hDC, &dis->rcItem, b);
    DeleteObject(b);
    return TRUE;
  }
  return FALSE;
}

TEST_F(NativeContainers, AStatusBarIsPaintedFromTheSkinWithItsPartsTextsAndGrip) {
  HWND dlg = Dialog(420, 300, OwnerDrawProc);
  const DWORD fixed = CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER;
  HWND bar = Child(dlg, STATUSCLASSNAMEW, L"", SBARS_SIZEGRIP | fixed, 0, 10, 10, 300, 19, idBar);
  HWND bare = Child(dlg, STATUSCLASSNAMEW, L"", fixed, 0, 10, 60, 300, 19, idBare);
  for (HWND b : {bar, bare}) {
    int edges[] = {100, 200, -1};
    SendMessageW(b, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    SendMessageW(b, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"One"));
    SendMessageW(b, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L"\tTwo"));
    SendMessageW(b, SB_SETTEXTW, 2, reinterpret_cast<LPARAM>(L"\t\tThree"));
  }
  Skin(dlg);
  ASSERT_EQ(WrapperClass(dlg, bar), "TvexSkinWndStatusBar");
  const COLORREF form = Form(), border = Border(), grip = GetSysColor(COLOR_INACTIVECAPTION);
  ASSERT_NE(grip, form);
  const TShot shot(bar);
  ASSERT_EQ(shot.Width(), 300);
  ASSERT_EQ(shot.Height(), 19);
  // The grip's lines inside (284, 4, 299, 18), the strips around them blank.
  EXPECT_GT(shot.Count(grip, 284, 4, 300, 19), 12);
  EXPECT_EQ(shot.Count(grip), shot.Count(grip, 284, 4, 300, 19)) << "no grip line outside its square";
  EXPECT_EQ(shot.Count(form, 284, 3, 299, 4), 15);
  EXPECT_EQ(shot.Count(form, 280, 3, 284, 18), 4 * 15);
  // Each part's text in the skin's ink where its tabs put it: left, centred, right.
  RECT parts[3];
  for (int i = 0; i < 3; ++i) SendMessageW(bar, SB_GETRECT, i, reinterpret_cast<LPARAM>(&parts[i]));
  const auto ink = [&](int part) {
    int first = -1, last = -1;
    for (int x = parts[part].left; x < parts[part].right; ++x)
      for (int y = 0; y < 19; ++y)
        if (shot.At(x, y) == kInk) {
          if (first < 0) first = x;
          last = x;
        }
    return std::pair<int, int>{first, last};
  };
  const auto one = ink(0), two = ink(1), three = ink(2);
  ASSERT_GE(one.first, 0);
  ASSERT_GE(two.first, 0);
  ASSERT_GE(three.first, 0);
  EXPECT_LT(one.first, parts[0].left + 8);
  EXPECT_NEAR((two.first + two.second) / 2, (parts[1].left + parts[1].right) / 2, 4);
  EXPECT_GT(three.second, 250);
  EXPECT_LT(three.second, 280) << "the right-aligned text stops before the grip";
  // Part edges in the border colour.
  EXPECT_EQ(shot.At(parts[1].left, 10), border);
  EXPECT_EQ(shot.At(parts[1].right - 1, 10), border);
  EXPECT_EQ(shot.At(150, parts[1].top), border);
  // No grip on a bar without the style.
  const TShot bareShot(bare);
  EXPECT_EQ(bareShot.Count(grip), 0);
  EXPECT_GT(bareShot.Count(kInk), 0);

  // An owner-drawn part is drawn by its owner, with the value it gave the part.
  SendMessageW(bar, SB_SETTEXTW, 1 | SBT_OWNERDRAW, static_cast<LPARAM>(kOwnerData));
  const TShot owned(bar);
  EXPECT_EQ(gOwnerDataSeen, kOwnerData);
  EXPECT_EQ(owned.At((parts[1].left + parts[1].right) / 2, 10), gOwnerFill);
  EXPECT_EQ(owned.Count(gOwnerFill, 0, 0, parts[1].left, 19), 0);

  // The simple mode: one text over the whole bar, no part edges.
  SendMessageW(bar, SB_SIMPLE, TRUE, 0);
  SendMessageW(bar, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(L"Simple"));
  const TShot simple(bar);
  EXPECT_GT(simple.Count(kInk), 0);
  EXPECT_EQ(simple.Count(border, parts[1].left, 5, parts[1].left + 1, 14), 0) << "no edge between parts";
  EXPECT_EQ(simple.Count(gOwnerFill), 0);
  EXPECT_GT(simple.Count(grip), 12);
}

// ---------------------------------------------------------------------------------------------
// Tool bars

// Counts the TB_SETSTYLE messages a window receives.
LRESULT CALLBACK StyleSpy(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  if (msg == TB_SETSTYLE) ++*reinterpret_cast<int*>(data);
  return DefSubclassProc(wnd, msg, wParam, lParam);
}

TEST_F(NativeContainers, ANativeToolBarKeepsItsStyleOnNtAndTurnsFlatAndTransparentOnceOn9x) {
  HWND dlg = Dialog();
  Skin(dlg);
  TvexSkinWindow* frame = engine->FindFrame(dlg);
  const utils::TSystemVersion real = utils::SystemVersion();
  struct TCase {
    utils::TSystemVersion version;
    int setStyles;
    DWORD added;
  };
  const TCase cases[] = {
      {{6, 1, VER_PLATFORM_WIN32_NT}, 0, 0},
      {{5, 0, VER_PLATFORM_WIN32_NT}, 0, 0},
      {{4, 10, VER_PLATFORM_WIN32_WINDOWS}, 1, TBSTYLE_FLAT | TBSTYLE_TRANSPARENT},
      {{4, 0, VER_PLATFORM_WIN32_WINDOWS}, 1, TBSTYLE_FLAT | TBSTYLE_TRANSPARENT},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.version.major * 100 + c.version.minor);
    HWND tb = Child(dlg, TOOLBARCLASSNAMEW, L"", CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, 0, 10, 10, 200, 30);
    const LRESULT style = SendMessageW(tb, TB_GETSTYLE, 0, 0);
    ASSERT_EQ(style & (TBSTYLE_FLAT | TBSTYLE_TRANSPARENT), 0);
    int setStyles = 0;
    SetWindowSubclass(tb, StyleSpy, 99, reinterpret_cast<DWORD_PTR>(&setStyles));
    utils::SetSystemVersion(c.version);
    std::unique_ptr<TvexSkinControlWnd> w(CreateWindowWrapper(tb, frame));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->ClassName(), "TvexSkinWndToolbarWindow32");
    // Later refreshes and repaints leave the style alone.
    w->UpdateSkinState();
    w->Refresh();
    SendMessageW(tb, SKM_REPAINT, 0, 0);
    PumpMessages();
    utils::SetSystemVersion(real);
    EXPECT_EQ(setStyles, c.setStyles);
    EXPECT_EQ(SendMessageW(tb, TB_GETSTYLE, 0, 0), style | static_cast<LRESULT>(c.added));
    w->Detach();
    w.reset();
    RemoveWindowSubclass(tb, StyleSpy, 99);
    DestroyWindow(tb);
  }
}

TEST_F(NativeContainers, ANativeToolBarStandsOnTheSkinsToolBarBackgroundUnderItsButtons) {
  const COLORREF start = RGB(200, 60, 20), end = RGB(20, 60, 200), picture = RGB(30, 190, 90);
  struct TCase {
    const char* name;
    bool bitmap;
    COLORREF start, end;
  };
  const TCase cases[] = {
      {"picture.vsk", true, start, end},
      {"gradient.vsk", false, start, end},
      {"plain.vsk", false, start, start},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    test::TSkinVariant v;
    v.integers["SKIN2_CONTROLFONTCOLOR"] = static_cast<std::int32_t>(kInk);
    v.integers["SKIN2_TOOLBARSTARTCOLOR"] = static_cast<std::int32_t>(c.start);
    v.integers["SKIN2_TOOLBARENDCOLOR"] = static_cast<std::int32_t>(c.end);
    if (c.bitmap) v.bitmaps["SKIN2_TOOLBAR"] = image::TvexImage(8, 8, image::Rgb(GetRValue(picture), GetGValue(picture), GetBValue(picture)));
    UseSkin(c.name, v);
    HWND dlg = Dialog();
    HWND tb = Child(dlg, TOOLBARCLASSNAMEW, L"", TBSTYLE_FLAT | TBSTYLE_LIST | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, 0, 10, 10, 300, 30);
    SendMessageW(tb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    const INT_PTR label = SendMessageW(tb, TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(L"Open\0"));
    TBBUTTON button{I_IMAGENONE, 1, TBSTATE_ENABLED, BTNS_BUTTON | BTNS_AUTOSIZE, {}, 0, label};
    SendMessageW(tb, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
    Skin(dlg);
    ASSERT_EQ(WrapperClass(dlg, tb), "TvexSkinWndToolbarWindow32");
    const TShot shot(tb);
    RECT item{};
    SendMessageW(tb, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    ASSERT_LT(item.right, 250);
    const int x = 280;  // right of every button
    if (c.bitmap) {
      EXPECT_EQ(shot.Count(picture, item.right, 0, 300, 30), (300 - item.right) * 30) << "the skin's picture, stretched";
    } else {
      EXPECT_EQ(shot.At(x, 0), c.start);
      EXPECT_EQ(shot.At(x, 29), c.end);
      EXPECT_EQ(shot.Count(c.start, item.right, 0, 300, 1), 300 - item.right) << "rows of one colour";
    }
    // The control still draws its button over the background.
    int drawn = 0;
    for (int yy = item.top; yy < item.bottom; ++yy)
      for (int xx = item.left; xx < item.right; ++xx) drawn += shot.At(xx, yy) != shot.At(x, yy);
    EXPECT_GT(drawn, 10) << "the button's caption";
    DestroyWindow(dlg);
    PumpMessages();
  }
}

// ---------------------------------------------------------------------------------------------
// Skin switched off

TEST_F(NativeContainers, SwitchedOffEachControlLooksAsItsOwnAgain) {
  engine->SetActive(false);
  HWND dlg = Dialog();
  HWND box = Child(dlg, L"BUTTON", L"Options", BS_GROUPBOX, 0, 10, 10, 180, 80);
  HWND text = Child(dlg, L"STATIC", L"Some text", SS_LEFT, 0, 200, 10, 120, 20);
  HWND line = Child(dlg, L"STATIC", L"", SS_ETCHEDHORZ, 0, 200, 40, 120, 2);
  HWND bar = Child(dlg, STATUSCLASSNAMEW, L"", SBARS_SIZEGRIP | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, 0, 10, 120, 300, 19);
  SendMessageW(bar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"Ready"));
  HWND tb = Child(dlg, TOOLBARCLASSNAMEW, L"", TBSTYLE_FLAT | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, 0, 10, 160, 300, 30);
  const HWND controls[] = {box, text, line, bar, tb};
  std::vector<std::uint64_t> own;
  for (HWND c : controls) own.push_back(TShot(c).Hash());
  engine->SetActive(true);
  Skin(dlg);
  for (std::size_t i = 0; i < std::size(controls); ++i) {
    EXPECT_NE(WrapperClass(dlg, controls[i]), "") << i;
    EXPECT_NE(TShot(controls[i]).Hash(), own[i]) << i << " is skinned";
  }
  engine->SetActive(false);
  PumpMessages();
  for (std::size_t i = 0; i < std::size(controls); ++i) EXPECT_EQ(TShot(controls[i]).Hash(), own[i]) << i << " looks as its own";
}

}  // namespace
}  // namespace vex::engine
