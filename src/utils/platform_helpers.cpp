#include "utils/platform_helpers.h"

#include <vector>

#include "host/application.h"

namespace vex::utils {

using namespace vex::host;

namespace {

// Items hooked under a top-level item with its own SubMenuImages, and those image lists: one
// entry per item. The record hears of the end of every item and image list it holds (free
// notifications) and drops their entries, so it never answers with a destroyed list.
class TSubMenuRecord : public TComponent {
 public:
  TSubMenuRecord() : TComponent(nullptr) {}

  const TImageList* Find(const TMenuItem* item) const {
    for (const TEntry& e : entries_)
      if (e.item == item) return e.images;
    return nullptr;
  }
  // Records the list for the item, replacing what was recorded for it before.
  void Put(TMenuItem* item, TImageList* images) {
    for (TEntry& e : entries_) {
      if (e.item != item) continue;
      TImageList* old = e.images;
      e.images = images;
      FreeNotification(images);
      ForgetUnused(old);
      return;
    }
    entries_.push_back(TEntry{item, images});
    FreeNotification(item);
    FreeNotification(images);
  }
  std::size_t Size() const { return entries_.size(); }

  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op != TOperation::opRemove) return;
    std::vector<TComponent*> released;
    for (auto it = entries_.begin(); it != entries_.end();) {
      if (it->item == c || it->images == c) {
        released.push_back(it->item == c ? static_cast<TComponent*>(it->images) : it->item);
        it = entries_.erase(it);
      } else {
        ++it;
      }
    }
    for (TComponent* r : released) ForgetUnused(r);
  }

 private:
  struct TEntry {
    TMenuItem* item;
    TImageList* images;
  };
  // Stops listening to a component no entry mentions any more.
  void ForgetUnused(TComponent* c) {
    for (const TEntry& e : entries_)
      if (e.item == c || e.images == c) return;
    RemoveFreeNotification(c);
  }
  std::vector<TEntry> entries_;
};

TSubMenuRecord& Record() {
  static TSubMenuRecord r;
  return r;
}

void HookTree(TMenuItem* item, const TMenuDrawItemEvent& draw, const TMenuMeasureItemEvent& measure) {
  item->OnDrawItem = draw;
  item->OnMeasureItem = measure;
  TMenuItem* p = item->Parent();
  if (p && p->Parent() && IsTopMenuItem(p) && p->SubMenuImages()) Record().Put(item, p->SubMenuImages());
  for (int i = 0; i < item->Count(); ++i) HookTree(item->Items(i), draw, measure);
}

}  // namespace

bool IsTopMenuItem(const TMenuItem* item) {
  if (!item || !item->Parent() || item->Name().empty()) return false;
  const TMenu* menu = item->GetParentMenu();
  return menu && item->Parent() == menu->Items();
}

void HookMenuItems(TMenuItem* item, const TMenuDrawItemEvent& draw, const TMenuMeasureItemEvent& measure) {
  if (!item) return;
  // Owner drawing is decided when the native menu is built: the whole tree is hooked first and
  // the menu rebuilt once at the end.
  TMenu* menu = item->GetParentMenu();
  if (!menu) {
    HookTree(item, draw, measure);
    return;
  }
  menu->BeginUpdate();
  struct TEnd {
    TMenu* m;
    ~TEnd() { m->EndUpdate(); }
  } end{menu};
  HookTree(item, draw, measure);
  menu->Changed();
}

std::size_t SubMenuRecordSize() { return Record().Size(); }

const TImageList* FindSubMenuImages(const TMenuItem* item) {
  if (!item) return nullptr;
  if (IsTopMenuItem(item))
    if (const TImageList* l = Record().Find(item)) return l;
  for (const TMenuItem* a = item->Parent(); a; a = a->Parent()) {
    if (a->SubMenuImages()) return a->SubMenuImages();
    if (IsTopMenuItem(a))
      if (const TImageList* l = Record().Find(a)) return l;
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
  // The monitor nearest the window, also when the window lies off every monitor (placed before
  // it is shown, or parked off-screen): maximizing there must use that monitor's work area, not
  // the primary one. The primary work area stands in only when the monitor cannot be asked.
  bool done = false;
  if (HMONITOR mon = MonitorFromWindow(wnd, MONITOR_DEFAULTTONEAREST)) {
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (GetMonitorInfoW(mon, &mi)) {
      area = mi.rcWork;
      done = true;
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
    OSVERSIONINFOW vi{};
    vi.dwOSVersionInfoSize = sizeof vi;
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

// A function found by name, as the type it has (through the generic function pointer type, which
// converts to any other without a warning).
template <class F>
F As(FARPROC p) {
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(p));
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
TSystemVersion SystemVersion() { return Version(); }
bool IsWin9xPlatform() { return Version().platform == VER_PLATFORM_WIN32_WINDOWS; }
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
  auto f = As<BOOL(WINAPI*)(HWND, LONG, SCROLLBARINFO*)>(Bind(Late().scrollBarInfo, "GetScrollBarInfo"));
  return f ? f(wnd, objectId, info) : 0;
}

BOOL LateGetComboBoxInfo(HWND wnd, COMBOBOXINFO* info) {
  auto f = As<BOOL(WINAPI*)(HWND, COMBOBOXINFO*)>(Bind(Late().comboBoxInfo, "GetComboBoxInfo"));
  return f ? f(wnd, info) : 0;
}

HWND LateGetAncestor(HWND wnd, UINT flags) {
  auto f = As<HWND(WINAPI*)(HWND, UINT)>(Bind(Late().ancestor, "GetAncestor"));
  return f ? f(wnd, flags) : nullptr;
}

std::wstring GetWindowTextUnicode(HWND wnd) {
  if (Version().platform != 2) return L"";
  TLateBinding& b = Late();
  if (!b.internalText) {
    if (!b.handle) b.handle = LoadLibraryW(b.module.c_str());
    b.internalText = b.handle ? GetProcAddress(b.handle, "InternalGetWindowText") : nullptr;
  }
  auto f = As<int(WINAPI*)(HWND, LPWSTR, int)>(b.internalText);
  if (!f) return L"";
  const int n = GetWindowTextLengthW(wnd) + 1;
  std::wstring s(static_cast<std::size_t>(n), L'\0');
  const int got = f(wnd, s.data(), n);
  s.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return s;
}

namespace {

bool (*gHighContrastQuery)() = nullptr;

struct TDwmBinding {
  bool looked = false;
  HMODULE module = nullptr;
  TDwmSetWindowAttribute set = nullptr;
};
TDwmBinding& Dwm() {
  static TDwmBinding b;
  return b;
}

}  // namespace

bool HighContrastOn() {
  if (gHighContrastQuery) return gHighContrastQuery();
  HIGHCONTRASTW hc{};
  hc.cbSize = sizeof hc;
  if (!SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0)) return false;
  return (hc.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

void SetHighContrastQuery(bool (*query)()) { gHighContrastQuery = query; }

bool SystemAppsUseDarkMode() {
  DWORD value = 1, size = sizeof value, type = 0;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize", 0, KEY_QUERY_VALUE,
                    &key) != ERROR_SUCCESS)
    return false;
  const LONG rc = RegQueryValueExW(key, L"AppsUseLightTheme", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS && type == REG_DWORD && size == sizeof value && value == 0;
}

bool LateDwmSetWindowAttribute(HWND wnd, DWORD attribute, const void* value, DWORD size) {
  TDwmBinding& b = Dwm();
  if (!b.looked) {
    b.looked = true;
    b.module = LoadLibraryW(L"dwmapi.dll");
    if (b.module) b.set = As<TDwmSetWindowAttribute>(GetProcAddress(b.module, "DwmSetWindowAttribute"));
  }
  if (!b.set) return false;
  return SUCCEEDED(b.set(wnd, attribute, value, size));
}

void SetDwmSetWindowAttributeForTests(TDwmSetWindowAttribute f) {
  TDwmBinding& b = Dwm();
  b.looked = true;
  b.set = f;
}

void ResetDwmBinding() {
  TDwmBinding& b = Dwm();
  if (b.module) FreeLibrary(b.module);
  b = TDwmBinding{};
}

}  // namespace vex::utils
