#include "native_dialog.h"

#include <commctrl.h>

#include "engine/skin_engine.h"

#include <string>
#include <vector>

namespace vex::gallery {
namespace {

// Writes a DLGTEMPLATE with its items, word by word, as the dialog manager reads it.
class TTemplate {
 public:
  TTemplate(const wchar_t* title, short cx, short cy) {
    DWORD style = DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    Dword(style);
    Dword(0);
    countAt_ = data_.size();
    Word(0);
    Word(0);
    Word(0);
    Word(static_cast<WORD>(cx));
    Word(static_cast<WORD>(cy));
    Word(0);  // no menu
    Word(0);  // default class
    String(title);
    Word(8);
    String(L"MS Shell Dlg");
  }

  // A control of a predefined class (atom) or named class.
  void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom, const wchar_t* className,
            const wchar_t* text) {
    Align();
    Dword(style | WS_CHILD | WS_VISIBLE);
    Dword(0);
    Word(static_cast<WORD>(x));
    Word(static_cast<WORD>(y));
    Word(static_cast<WORD>(cx));
    Word(static_cast<WORD>(cy));
    Word(id);
    if (atom) {
      Word(0xFFFF);
      Word(atom);
    } else {
      String(className);
    }
    String(text);
    Word(0);
    ++count_;
    data_[countAt_] = static_cast<WORD>(count_);
  }

  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(data_.data()); }

 private:
  void Word(WORD w) { data_.push_back(w); }
  void Dword(DWORD d) {
    Word(LOWORD(d));
    Word(HIWORD(d));
  }
  void String(const wchar_t* s) {
    for (; *s; ++s) Word(static_cast<WORD>(*s));
    Word(0);
  }
  void Align() {
    if (data_.size() % 2) Word(0);
  }

  std::vector<WORD> data_;
  std::size_t countAt_ = 0;
  int count_ = 0;
};

enum : WORD { kButton = 0x80, kEdit = 0x81, kStatic = 0x82, kListBox = 0x83, kComboBox = 0x85 };
enum : WORD { idHints = 101, idRemember, idSmall, idLarge, idCombo, idComboList, idEdit, idList, idTabs, idProgress, idTrack };

// lParam of WM_INITDIALOG: 1 for a modeless dialog, which closes by destroying itself.
INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG: {
      SetWindowLongPtrW(dlg, DWLP_USER, lParam);
      CheckDlgButton(dlg, idHints, BST_CHECKED);
      CheckDlgButton(dlg, idRemember, BST_INDETERMINATE);
      CheckRadioButton(dlg, idSmall, idLarge, idSmall);
      for (const wchar_t* s : {L"Blue", L"Graphite", L"Olive"}) {
        SendDlgItemMessageW(dlg, idCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        SendDlgItemMessageW(dlg, idComboList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
      }
      SendDlgItemMessageW(dlg, idCombo, CB_SETCURSEL, 0, 0);
      SendDlgItemMessageW(dlg, idComboList, CB_SETCURSEL, 1, 0);
      for (const wchar_t* s : {L"Title bar", L"Borders", L"Buttons", L"Check boxes", L"Scroll bars", L"Tabs"})
        SendDlgItemMessageW(dlg, idList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
      SendDlgItemMessageW(dlg, idList, LB_SETCURSEL, 2, 0);
      const wchar_t* tabs[] = {L"General", L"Colours", L"Advanced"};
      for (int i = 0; i < 3; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(tabs[i]);
        SendDlgItemMessageW(dlg, idTabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
      }
      SendDlgItemMessageW(dlg, idProgress, PBM_SETPOS, 60, 0);
      SendDlgItemMessageW(dlg, idTrack, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
      SendDlgItemMessageW(dlg, idTrack, TBM_SETPOS, TRUE, 4);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        if (GetWindowLongPtrW(dlg, DWLP_USER) == 1)
          DestroyWindow(dlg);
        else
          EndDialog(dlg, LOWORD(wParam));
        return TRUE;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

TTemplate DialogTemplate() {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  TTemplate t(L"Native dialog", 290, 196);
  t.Item(BS_GROUPBOX, 7, 4, 132, 64, 0xFFFF, kButton, nullptr, L"Options");
  t.Item(BS_AUTOCHECKBOX | WS_TABSTOP, 14, 16, 110, 10, idHints, kButton, nullptr, L"Show &hints");
  t.Item(BS_AUTO3STATE | WS_TABSTOP, 14, 29, 110, 10, idRemember, kButton, nullptr, L"&Remember size");
  t.Item(BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 14, 42, 55, 10, idSmall, kButton, nullptr, L"&Small");
  t.Item(BS_AUTORADIOBUTTON, 72, 42, 55, 10, idLarge, kButton, nullptr, L"&Large");
  t.Item(SS_LEFT, 7, 74, 60, 8, 0xFFFF, kStatic, nullptr, L"Scheme:");
  t.Item(CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, 7, 84, 62, 60, idCombo, kComboBox, nullptr, L"");
  t.Item(CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 76, 84, 63, 60, idComboList, kComboBox, nullptr, L"");
  t.Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 102, 132, 13, idEdit, kEdit, nullptr, L"Edit me");
  t.Item(LBS_NOTIFY | WS_BORDER | WS_VSCROLL | WS_TABSTOP, 7, 120, 132, 48, idList, kListBox, nullptr, L"");
  t.Item(WS_TABSTOP, 148, 7, 135, 80, idTabs, 0, WC_TABCONTROLW, L"");
  t.Item(0, 148, 96, 135, 10, idProgress, 0, PROGRESS_CLASSW, L"");
  t.Item(TBS_AUTOTICKS | WS_TABSTOP, 148, 112, 135, 20, idTrack, 0, TRACKBAR_CLASSW, L"");
  t.Item(SS_LEFT, 148, 140, 135, 20, 0xFFFF, kStatic, nullptr, L"Group boxes, labels and lines take the skin's colours.");
  t.Item(SS_ETCHEDHORZ, 7, 166, 276, 1, 0xFFFF, kStatic, nullptr, L"");
  t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 176, 174, 50, 14, IDOK, kButton, nullptr, L"OK");
  t.Item(BS_PUSHBUTTON | WS_TABSTOP, 233, 174, 50, 14, IDCANCEL, kButton, nullptr, L"Cancel");
  return t;
}

}  // namespace

INT_PTR ShowNativeDialog(HWND owner) {
  TTemplate t = DialogTemplate();
  return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.Get(), owner, DialogProc, 0);
}

HWND OpenNativeDialog(HWND owner) {
  TTemplate t = DialogTemplate();
  HWND dlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), owner, DialogProc, 1);
  if (dlg) ShowWindow(dlg, SW_SHOW);
  return dlg;
}

namespace {

enum : WORD { idStatusBar = 200 };

// The status bar's parts: a message on the left, a centred and a right-aligned field (tabs in a
// part's text centre and right-align what follows them).
void LayOutStatusBar(HWND bar, int width) {
  int edges[] = {width - 250, width - 110, -1};
  SendMessageW(bar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
  SendMessageW(bar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"Ready"));
  SendMessageW(bar, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L"\tLine 1, column 1"));
  SendMessageW(bar, SB_SETTEXTW, 2, reinterpret_cast<LPARAM>(L"\t\tSkinned"));
}

LRESULT CALLBACK NativeWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE: {
      HWND bar = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, wnd,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(idStatusBar)), GetModuleHandleW(nullptr), nullptr);
      if (bar) {
        RECT r;
        GetClientRect(wnd, &r);
        LayOutStatusBar(bar, r.right);
      }
      return 0;
    }
    case WM_SIZE:
      if (HWND bar = GetDlgItem(wnd, idStatusBar)) {
        // The bar follows the window's width and bottom edge by itself.
        SendMessageW(bar, WM_SIZE, wParam, lParam);
        LayOutStatusBar(bar, LOWORD(lParam));
        InvalidateRect(wnd, nullptr, TRUE);
      }
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == 103) DestroyWindow(wnd);  // File, Exit
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(wnd, &ps);
      RECT r;
      GetClientRect(wnd, &r);
      if (HWND bar = GetDlgItem(wnd, idStatusBar)) {
        RECT b;
        GetWindowRect(bar, &b);
        r.bottom -= b.bottom - b.top;
      }
      FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
      InflateRect(&r, -12, -12);
      SetBkMode(dc, TRANSPARENT);
      DrawTextW(dc, L"A plain Win32 window of a class registered with the engine by name. "
                    L"Its menu bar stays its own: Alt and the mouse open it in the skinned frame.",
                -1, &r, DT_WORDBREAK);
      EndPaint(wnd, &ps);
      return 0;
    }
    default:
      return DefWindowProcW(wnd, msg, wParam, lParam);
  }
}

}  // namespace

HWND OpenNativeWindow(HWND owner) {
  static const wchar_t* const kClass = L"VexGalleryNativeWindow";
  static const bool registered = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = NativeWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClass;
    return RegisterClassW(&wc) != 0;
  }();
  if (!registered) return nullptr;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  // Windows of this class are skinned when they are activated.
  if (engine::TvexSkinEngine* e = engine::HookEngine(); e && e->AutoSkinWndClassNames().IndexOf("VexGalleryNativeWindow") < 0)
    e->AutoSkinWndClassNames().Add("VexGalleryNativeWindow");
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, 101, L"&New");
  AppendMenuW(file, MF_STRING, 102, L"&Open...");
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file, MF_STRING, 103, L"E&xit");
  HMENU view = CreatePopupMenu();
  AppendMenuW(view, MF_STRING | MF_CHECKED, 111, L"&Tool bar");
  AppendMenuW(view, MF_STRING, 112, L"&Status bar");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), L"&View");
  AppendMenuW(bar, MF_STRING | MF_GRAYED, 121, L"&Help");
  RECT o{0, 0, 0, 0};
  if (owner) GetWindowRect(owner, &o);
  HWND w = CreateWindowExW(0, kClass, L"Native window", WS_OVERLAPPEDWINDOW, o.left + 60, o.top + 60, 420, 260, nullptr, bar,
                           GetModuleHandleW(nullptr), nullptr);
  if (!w) {
    DestroyMenu(bar);
    return nullptr;
  }
  ShowWindow(w, SW_SHOW);
  SetForegroundWindow(w);
  return w;
}

}  // namespace vex::gallery
