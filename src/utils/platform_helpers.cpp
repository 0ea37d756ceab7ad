#include "utils/platform_helpers.h"

#include <vector>

#include "host/application.h"

namespace vex::utils {

using namespace vex::host;

namespace {

// Items hooked under a top-level item with its own SubMenuImages, and those image lists.
struct TSubMenuRecord {
  std::vector<const TMenuItem*> items;
  std::vector<const TImageList*> images;
};
TSubMenuRecord& Record() {
  static TSubMenuRecord r;
  return r;
}

const TImageList* Recorded(const TMenuItem* item) {
  const auto& r = Record();
  for (std::size_t i = 0; i < r.items.size(); ++i)
    if (r.items[i] == item) return r.images[i];
  return nullptr;
}

bool InRecord(const TMenuItem* item) {
  for (const TMenuItem* i : Record().items)
    if (i == item) return true;
  return false;
}

}  // namespace

bool IsTopMenuItem(const TMenuItem* item) {
  if (!item || !item->Parent() || item->Name().empty()) return false;
  const TMenu* menu = item->GetParentMenu();
  return menu && item->Parent() == menu->Items();
}

void HookMenuItems(TMenuItem* item, const TMenuDrawItemEvent& draw, const TMenuMeasureItemEvent& measure) {
  if (!item) return;
  item->OnDrawItem = draw;
  item->OnMeasureItem = measure;
  const TMenuItem* p = item->Parent();
  if (p && p->Parent() && IsTopMenuItem(p) && p->SubMenuImages()) {
    Record().items.push_back(item);
    Record().images.push_back(p->SubMenuImages());
  }
  for (int i = 0; i < item->Count(); ++i) HookMenuItems(item->Items(i), draw, measure);
  if (TMenu* m = item->GetParentMenu()) m->Rebuild();
}

const TImageList* FindSubMenuImages(const TMenuItem* item) {
  if (!item) return nullptr;
  if (IsTopMenuItem(item) && InRecord(item)) return Recorded(item);
  for (const TMenuItem* a = item->Parent(); a; a = a->Parent()) {
    if (a->SubMenuImages()) return a->SubMenuImages();
    if (IsTopMenuItem(a) && InRecord(a)) return Recorded(a);
  }
  const TMenu* menu = item->GetParentMenu();
  return menu ? menu->Images() : nullptr;
}

TCustomForm* FindFormByHandle(HWND wnd) {
  for (TCustomForm* f : Application().Forms())
    if (f->HandleAllocated() && f->Handle() == wnd) return f;
  return nullptr;
}

bool IsFormActive(TCustomForm* form) {
  if (form && form->HandleAllocated()) {
    const LRESULT r = SendMessageW(form->Handle(), SKM_QUERYACTIVE, 0, 0);
    if (r > 0) return r == 1;
  }
  TCustomForm* main = Application().MainForm();
  if (!main) return form && form->Active();
  if (main->FormStyle() == fsMDIForm && main == form) return true;
  if (!Application().Active()) return false;
  if (!form || form == main) return true;
  if (main->FormStyle() == fsMDIForm && main->ClientHandle() && form->HandleAllocated() &&
      reinterpret_cast<HWND>(SendMessageW(main->ClientHandle(), WM_MDIGETACTIVE, 0, 0)) == form->Handle())
    return true;
  return form->Active();
}

void GetWorkArea(HWND wnd, RECT& area) {
  bool done = false;
  if (Application().MainForm()) {
    if (HMONITOR mon = MonitorFromWindow(wnd, MONITOR_DEFAULTTONULL)) {
      MONITORINFO mi{sizeof mi};
      if (GetMonitorInfoW(mon, &mi)) {
        area = mi.rcWork;
        done = true;
      }
    }
  }
  if (!done) SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  area.bottom -= 1;
}

void SetFormBounds(TCustomForm* form, const RECT& r) {
  form->SetLeft(r.left);
  form->SetTop(r.top);
  form->SetWidth(r.right - r.left);
  form->SetHeight(r.bottom - r.top);
}

bool PointInRect(int x, int y, const RECT& r) { return r.left <= x && x <= r.right && r.top <= y && y <= r.bottom; }

bool HasProperty(const TObject* obj, const std::string& name) { return obj && IsPublishedProp(*obj, name); }

namespace {

TSystemVersion& Version() {
  static TSystemVersion v = [] {
    // GetVersionExW reports the compatibility version, as the flags expect.
    OSVERSIONINFOW vi{sizeof vi};
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExW(&vi);
#pragma GCC diagnostic pop
    return TSystemVersion{vi.dwMajorVersion, vi.dwMinorVersion, vi.dwPlatformId};
  }();
  return v;
}

struct TLateBinding {
  std::wstring module = L"User32.dll";
  HMODULE handle = nullptr;
  bool unavailable = false;
  FARPROC scrollBarInfo = nullptr, comboBoxInfo = nullptr, ancestor = nullptr, internalText = nullptr;
  ~TLateBinding() {
    if (handle) FreeLibrary(handle);
  }
};
TLateBinding& Late() {
  static TLateBinding b;
  return b;
}

// Looks a flagged function up once; a miss sets the shared flag.
FARPROC Bind(FARPROC& slot, const char* name) {
  TLateBinding& b = Late();
  if (b.unavailable) return nullptr;
  if (!slot) {
    if (!b.handle) b.handle = LoadLibraryW(b.module.c_str());
    slot = b.handle ? GetProcAddress(b.handle, name) : nullptr;
    if (!slot) b.unavailable = true;
  }
  return slot;
}

}  // namespace

void SetSystemVersion(const TSystemVersion& v) { Version() = v; }
bool IsWin95() { return Version().major == 4 && Version().minor == 0 && Version().platform == 1; }
bool IsWinXPStyle() {
  const auto& v = Version();
  return v.platform == 2 && ((v.major == 5 && v.minor >= 1) || (v.major > 6) || (v.major == 6 && v.minor >= 1));
}
bool IsWinVista() { return Version().major == 6 && Version().minor == 0 && Version().platform == 2; }

void SetLateBindingModule(const wchar_t* moduleName) {
  TLateBinding& b = Late();
  if (b.handle) FreeLibrary(b.handle);
  b = TLateBinding{};
  b.module = moduleName;
}

BOOL LateGetScrollBarInfo(HWND wnd, LONG objectId, SCROLLBARINFO* info) {
  auto f = reinterpret_cast<BOOL(WINAPI*)(HWND, LONG, SCROLLBARINFO*)>(Bind(Late().scrollBarInfo, "GetScrollBarInfo"));
  return f ? f(wnd, objectId, info) : 0;
}

BOOL LateGetComboBoxInfo(HWND wnd, COMBOBOXINFO* info) {
  auto f = reinterpret_cast<BOOL(WINAPI*)(HWND, COMBOBOXINFO*)>(Bind(Late().comboBoxInfo, "GetComboBoxInfo"));
  return f ? f(wnd, info) : 0;
}

HWND LateGetAncestor(HWND wnd, UINT flags) {
  auto f = reinterpret_cast<HWND(WINAPI*)(HWND, UINT)>(Bind(Late().ancestor, "GetAncestor"));
  return f ? f(wnd, flags) : nullptr;
}

std::wstring GetWindowTextUnicode(HWND wnd) {
  if (Version().platform != 2) return L"";
  TLateBinding& b = Late();
  if (!b.internalText) {
    if (!b.handle) b.handle = LoadLibraryW(b.module.c_str());
    b.internalText = b.handle ? GetProcAddress(b.handle, "InternalGetWindowText") : nullptr;
  }
  auto f = reinterpret_cast<int(WINAPI*)(HWND, LPWSTR, int)>(b.internalText);
  if (!f) return L"";
  const int n = GetWindowTextLengthW(wnd) + 1;
  std::wstring s(static_cast<std::size_t>(n), L'\0');
  const int got = f(wnd, s.data(), n);
  s.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return s;
}

}  // namespace vex::utils
