#include "engine/skin_engine.h"

#include "engine/skin_window_vcl.h"

#include <algorithm>
#include <system_error>

#include "engine/menu_images.h"
#include "engine/skin_window.h"
#include "engine/skin_window_vcl.h"
#include "host/callback_guard.h"
#include "host/library_module.h"
#include "host/prop_builder.h"
#include "host/text_encoding.h"
#include "skin2/byte_io.h"
#include "skin2/skin_keys.h"
#include "skin2/temp_platform.h"
#include "utils/paint_primitives.h"
#include "utils/platform_helpers.h"
#include "utils/text_helpers.h"

namespace vex::engine {

using namespace vex::host;
namespace fs = std::filesystem;
namespace keys = vex::skin2;

// ----- stored skins -----

const TClassInfo& TvexSkinCollectionItem::StaticClass() {
  static TClassInfo info("TvexSkinCollectionItem", &TCollectionItem::StaticClass());
  static const bool once = [] {
    TPropBuilder<TvexSkinCollectionItem> b(info);
    b.String("SkinFile", [](const TvexSkinCollectionItem& i) { return i.SkinFile; },
             [](TvexSkinCollectionItem& i, const std::string& v) { i.SkinFile = v; });
    b.String("Password", [](const TvexSkinCollectionItem& i) { return i.Password; },
             [](TvexSkinCollectionItem& i, const std::string& v) { i.Password = v; });
    return true;
  }();
  (void)once;
  return info;
}

const TClassInfo& TvexSkinCollection::StaticClass() {
  static const TClassInfo info("TvexSkinCollection", &TCollection::StaticClass());
  return info;
}

TvexSkinCollection::TvexSkinCollection(TPersistent* owner)
    : TCollection([](TCollection* c) { return std::make_unique<TvexSkinCollectionItem>(c); }, owner, StaticClass()) {}

TvexSkinCollectionItem* TvexSkinCollection::Item(int i) const { return static_cast<TvexSkinCollectionItem*>(Items(i)); }

TvexSkinCollectionItem::TvexSkinCollectionItem(TCollection* c) : TCollectionItem(c, StaticClass()) {}

void TvexSkinCollectionItem::Assign(const TPersistent& source) {
  if (!source.Is<TvexSkinCollectionItem>()) return TPersistent::Assign(source);
  const auto& s = static_cast<const TvexSkinCollectionItem&>(source);
  SkinFile = s.SkinFile;
  Password = s.Password;
}

namespace {

bool FileExists(const fs::path& p) {
  std::error_code ec;
  return !p.empty() && fs::is_regular_file(p, ec);
}

// The temporary folder and `stem`, numbered 1, 2, 3 ... before the extension while taken.
fs::path FreeTempName(const std::string& stem, const std::string& ext) {
  const fs::path dir = keys::TempDirectory();
  fs::path p = dir / fs::u8path(stem + ext);
  for (int n = 1; FileExists(p); ++n) p = dir / fs::u8path(stem + std::to_string(n) + ext);
  return p;
}

// Archive bytes saved under a fresh temporary name, a new name for every attempt; after a handful
// of failed saves, no name (the load then fails as an unreadable skin would, instead of retrying
// for ever).
fs::path SaveToFreshTemp(const std::vector<std::uint8_t>& data, int attempts) {
  for (int attempt = 0; attempt < attempts; ++attempt) {
    try {
      const fs::path temp = FreeTempName(keys::NewGuidString(), ".vsk");
      keys::WriteWholeFile(temp, data);
      return temp;
    } catch (const std::exception&) {
    }
  }
  return {};
}

}  // namespace

void TvexSkinCollectionItem::DefineProperties(TFiler& filer) {
  filer.DefineBinaryProperty(
      "SkinData",
      [this](const std::vector<std::uint8_t>& data) {
        // Written once under a fixed name; a failure to save propagates.
        const fs::path temp = FreeTempName("VEXSKNT", ".vsk");
        keys::WriteWholeFile(temp, data);
        try {
          reader_.Load(temp, Password);
        } catch (...) {
          keys::RemoveFileQuietly(temp);
          throw;
        }
        keys::RemoveFileQuietly(temp);
        stored_ = data;
      },
      [this] { return keys::ReadWholeFile(fs::u8path(SkinFile)); }, FileExists(fs::u8path(SkinFile)));
}

// ----- the engine -----

const TClassInfo& TvexSkinEngine::StaticClass() {
  static TClassInfo info("TvexSkinEngine", &TComponent::StaticClass(), ComponentFactory<TvexSkinEngine>);
  static const bool once = [] {
    TPropBuilder<TvexSkinEngine> b(info);
    using E = TvexSkinEngine;
    b.Boolean("Active", [](const E& e) { return e.Active(); }, [](E& e, std::int64_t v) { e.SetActive(v != 0); });
    b.Boolean("Ready", [](const E& e) { return e.Ready(); }, [](E&, std::int64_t) {});
    b.String("Password", [](const E& e) { return e.Password(); }, [](E& e, const std::string& v) { e.SetPassword(v); });
    b.String("SkinFile", [](const E& e) { return e.SkinFile(); }, [](E& e, const std::string& v) { e.SetSkinFile(v); });
    b.WideString("ResSysMenuMin", [](const E& e) { return e.ResSysMenuMin(); }, [](E& e, const std::wstring& v) { e.SetResSysMenuMin(v); });
    b.WideString("ResSysMenuMax", [](const E& e) { return e.ResSysMenuMax(); }, [](E& e, const std::wstring& v) { e.SetResSysMenuMax(v); });
    b.WideString("ResSysMenuClose", [](const E& e) { return e.ResSysMenuClose(); }, [](E& e, const std::wstring& v) { e.SetResSysMenuClose(v); });
    b.Integer("DisabledTag", [](const E& e) { return e.DisabledTag(); }, [](E& e, std::int64_t v) { e.SetDisabledTag(v); });
    b.Boolean("DrawScrollBar", [](const E& e) { return e.DrawScrollBar(); }, [](E& e, std::int64_t v) { e.SetDrawScrollBar(v != 0); });
    b.String("Version", [](const E&) { return E::Version(); }, [](E&, const std::string&) {});
    b.Boolean("BuiltIn", [](const E& e) { return e.BuiltIn(); }, [](E& e, std::int64_t v) { e.SetBuiltIn(v != 0); });
    b.Boolean("SkinDialogs", [](const E& e) { return e.SkinDialogs(); }, [](E& e, std::int64_t v) { e.SetSkinDialogs(v != 0); });
    b.Boolean("SkinAllForms", [](const E& e) { return e.SkinAllForms(); }, [](E& e, std::int64_t v) { e.SetSkinAllForms(v != 0); });
    b.Object("AdditionalBuiltInSkins", TPropKind::Collection, TvexSkinCollection::StaticClass(),
             [](const E& e) { return const_cast<E&>(e).additional_.get(); },
             [](E& e, TObject* o) {
               if (o && o != e.additional_.get()) e.additional_->Assign(*static_cast<TPersistent*>(o));
             });
    b.Boolean("NoChangeButtonsFontColor", [](const E& e) { return e.NoChangeButtonsFontColor(); },
              [](E& e, std::int64_t v) { e.SetNoChangeButtonsFontColor(v != 0); });
    b.Object("AutoSkinWndClassNames", TPropKind::StringList, TStringList::StaticClass(),
             [](const E& e) { return const_cast<TStringList*>(&e.autoSkinNames_); },
             [](E& e, TObject* o) {
               if (o && o != &e.autoSkinNames_) e.autoSkinNames_.Assign(*static_cast<TPersistent*>(o));
             });
    b.Enum("AppMode", "TvexAppMode", {"amLight", "amDark", "amSystem"}, [](const E& e) { return static_cast<std::int64_t>(e.AppMode()); },
           [](E& e, std::int64_t v) { e.SetAppMode(v == 1 ? amDark : v == 2 ? amSystem : amLight); })
        .defaultValue = std::int64_t{amLight};
    b.Integer("DarkBuiltInSkin", [](const E& e) { return e.DarkBuiltInSkin(); }, [](E& e, std::int64_t v) { e.SetDarkBuiltInSkin(v); })
        .defaultValue = std::int64_t{-1};
    b.String("DarkSkinFile", [](const E& e) { return e.DarkSkinFile(); }, [](E& e, const std::string& v) { e.SetDarkSkinFile(v); });
    b.Method("OnSkinChanged", "TNotifyEvent", [](const E& e) { return e.OnSkinChanged; }, [](E& e, const TMethodValue& m) { e.OnSkinChanged = m; });
    b.Method("OnSkinChanging", "TNotifyEvent", [](const E& e) { return e.OnSkinChanging; }, [](E& e, const TMethodValue& m) { e.OnSkinChanging = m; });
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

namespace {

// The window hook is the calling thread's, and so is the engine that installed it.
thread_local TvexSkinEngine* gHookEngine = nullptr;
thread_local HHOOK gHook = nullptr;

std::wstring ClassNameOf(HWND wnd) {
  wchar_t buf[100];
  const int n = GetClassNameW(wnd, buf, 100);
  return std::wstring(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

bool Skinned(HWND wnd) { return SendMessageW(wnd, SKM_QUERYSKINNED, 0, 0) != 0; }

// The window-creation hook: refuses size grips and attaches frames to dialogs, message boxes,
// dock hosts and windows of registered class names as they are activated.
LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
  bool refuse = false;
  GuardCallback([&] {
    if (gHookEngine && gHookEngine->IsSkinActive()) {
      if (code == HCBT_CREATEWND) {
        std::wstring cls = ClassNameOf(reinterpret_cast<HWND>(wParam));
        for (auto& c : cls) c = static_cast<wchar_t>(towupper(c));
        const CREATESTRUCTW* cs = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
        if (cls == L"SCROLLBAR" && (cs->style & SBS_SIZEGRIP) && cs->dwExStyle != WS_EX_NOPARENTNOTIFY) refuse = true;
      } else if (code == HCBT_ACTIVATE) {
        HWND wnd = reinterpret_cast<HWND>(wParam);
        const std::wstring cls = ClassNameOf(wnd);
        if (cls == L"TTabDockHost" || cls == L"TConjoinDockHost") {
          if (!Skinned(wnd)) gHookEngine->AttachWindow(wnd, true);
        } else if (cls == L"TMessageForm" || cls == L"#32770") {
          if (wnd != LastDestroyedDialog() && gHookEngine->SkinDialogs() && !Skinned(wnd)) gHookEngine->AttachWindow(wnd, true);
          LastDestroyedDialog() = nullptr;
        } else if (AutoSkinClassNames().IndexOf(host::WideToUtf8(cls)) >= 0 && !Skinned(wnd)) {
          gHookEngine->AttachWindow(wnd, false);
        }
      }
    }
  });
  if (refuse) return 1;
  return CallNextHookEx(gHook, code, wParam, lParam);
}

}  // namespace

TvexSkinEngine* HookEngine() { return gHookEngine; }

TvexSkinEngine::TvexSkinEngine(TComponent* owner) : TComponent(owner, StaticClass()) {
  if (!owner || !owner->Is<TCustomForm>()) throw EComponentError("Must be placed on a Form");
  if (!gHook && !Designing()) {
    gHook = SetWindowsHookExW(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
    if (gHook) gHookEngine = this;
  }
  reader_.OnLoaded = [this](utils::TvexSkinReader* r) { SkinChanged(r); };
  additional_ = std::make_unique<TvexSkinCollection>(this);
  // Started in high contrast: no skin shows until the mode goes.
  if (!Designing()) steppedAside_ = utils::HighContrastOn();
  autoSkinNames_.OnChange = [this](TObject*) {
    if (HasState(csLoading)) return;
    for (const std::string& n : autoSkinNames_.Items())
      if (AutoSkinClassNames().IndexOf(n) < 0) AutoSkinClassNames().Add(n);
  };
  // The system menu: minimize, maximize/restore, a separator, close; captions keep their
  // ampersands.
  systemMenu_.reset(new TPopupMenu(nullptr));
  systemMenu_->SetAutoHotkeys(maManual);
  const std::wstring captions[] = {resMin_, resMax_, L"-", resClose_};
  for (int i = 0; i < 4; ++i) {
    auto* item = new TMenuItem(systemMenu_.get());
    item->SetCaption(captions[i]);
    if (i != 2) {
      item->OnClick.handler = [this, i](TObject*) {
        if (SystemMenuTarget) SystemMenuTarget->SystemMenuCommand(i);
      };
    }
    systemMenu_->Items()->Add(item);
  }
  systemMenu_->OnPopup = [this](TObject*) { SystemMenuPopup(); };
  SkinMenu(systemMenu_.get());
}

TvexSkinEngine::~TvexSkinEngine() { metrics_.FormBrush.Reset(); }

void TvexSkinEngine::BeforeDestruction() {
  if (gHookEngine == this) {
    UnhookWindowsHookEx(gHook);
    gHook = nullptr;
    gHookEngine = nullptr;
  }
  autoSkinNames_.OnChange = nullptr;
  pending_.clear();
  // No menu keeps handlers of a freed engine, nor owner drawing without them.
  UnskinAllMenus();
  *self_ = nullptr;
  if (utility_) {
    DestroyWindow(utility_);
    utility_ = nullptr;
  }
  scrollRes_.SetReader(nullptr);
  tabRes_.SetReader(nullptr);
  progressRes_.SetReader(nullptr);
  // Frame wrappers go first to last.
  while (!frames_.empty()) {
    host::TComponentPtr<TvexSkinWindow> w = std::move(frames_.front());
    frames_.erase(frames_.begin());
    w.reset();
  }
  TComponent::BeforeDestruction();
}

void TvexSkinEngine::SetActive(bool v) {
  active_ = v;
  ApplyActivity();
}

void TvexSkinEngine::ApplyActivity() {
  const bool v = active_;
  if (Designing()) return;
  ForEachFrame([v](TvexSkinWindow* w) { w->SetSkinned(v); });
  // Menus follow the frames: skinned while the skin shows, the framework's own look when not.
  // While the form is read its menus are not whole yet; Loaded skins them.
  if (HasState(csLoading)) return;
  if (IsSkinActive())
    SkinOwnerMenus();
  else
    UnskinAllMenus();
}

bool TvexSkinEngine::IsSkinActive() const { return active_ && reader_.Ready() && !Designing() && !steppedAside_; }

void TvexSkinEngine::SetAppMode(TvexAppMode v) {
  appMode_ = v;
  ShowLightOrDark();
}

void TvexSkinEngine::SetDarkBuiltInSkin(std::int64_t v) {
  darkBuiltIn_ = v < 0 ? -1 : v;
  // While the dark skin shows, the new one (or the light one, when there is none now) shows at once.
  ShowLightOrDark(showingDark_);
}

void TvexSkinEngine::SetDarkSkinFile(const std::string& v) {
  darkSkinFile_ = v;
  ShowLightOrDark(showingDark_);
}

void TvexSkinEngine::ShowLightOrDark(bool again) {
  if (Designing() || HasState(csLoading) || HasState(csDestroying)) return;
  const bool haveDark = (darkBuiltIn_ >= 0 && darkBuiltIn_ < additional_->Count()) || !darkSkinFile_.empty();
  const bool dark = haveDark && (appMode_ == amDark || (appMode_ == amSystem && utils::SystemAppsUseDarkMode()));
  if (dark == showingDark_ && !again) return;
  if (dark) {
    if (darkBuiltIn_ >= 0 && darkBuiltIn_ < additional_->Count()) {
      if (!SelectBuiltInSkin(static_cast<int>(darkBuiltIn_))) return;
    } else {
      const fs::path found = FindSkinFile(darkSkinFile_);
      if (found.empty()) return;
      // The light skin keeps its name: SkinFile still says which one comes back.
      reader_.Load(found, password_);
      selected_ = -1;
    }
    showingDark_ = true;
  } else {
    if (!storedSkin_.empty()) {
      SelectBuiltInSkin(-1);
    } else {
      const fs::path found = FindSkinFile(skinFile_);
      if (found.empty()) return;
      reader_.Load(found, password_);
      selected_ = -1;
    }
    showingDark_ = false;
  }
}

void TvexSkinEngine::FollowSystemSettings() {
  systemCheckPosted_ = false;
  if (Designing() || HasState(csDestroying)) return;
  const bool contrast = utils::HighContrastOn();
  if (contrast != steppedAside_) {
    steppedAside_ = contrast;
    ApplyActivity();
  }
  try {
    ShowLightOrDark();
  } catch (...) {
    // A dark or light skin that no longer loads: the one that shows stays.
  }
}

HWND TvexSkinEngine::UtilityWindow() {
  if (!utility_) {
    static const bool registered = [] {
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof wc;
      wc.lpfnWndProc = UtilityProc;
      wc.hInstance = host::LibraryModule();
      wc.lpszClassName = L"TvexSkinEngineUtility";
      return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
    utility_ = CreateWindowExW(0, L"TvexSkinEngineUtility", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               host::LibraryModule(), nullptr);
    if (utility_) SetWindowLongPtrW(utility_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  return utility_;
}

void TvexSkinEngine::PostSystemCheck() {
  // Every top-level window hears a settings broadcast: one check follows, after it.
  if (systemCheckPosted_ || Designing()) return;
  if (HWND u = UtilityWindow()) systemCheckPosted_ = PostMessageW(u, WM_APP + 1, 0, 0) != FALSE;
}

fs::path FindSkinFile(const std::string& value) {
  if (value.empty()) return {};
  const fs::path given = fs::u8path(value);
  if (FileExists(given)) return given;
  const fs::path name = given.filename();
  wchar_t buf[MAX_PATH + 1];
  std::vector<fs::path> folders;
  if (GetModuleFileNameW(nullptr, buf, MAX_PATH)) folders.push_back(fs::path(buf).parent_path());
  if (GetWindowsDirectoryW(buf, MAX_PATH)) folders.emplace_back(buf);
  if (GetSystemDirectoryW(buf, MAX_PATH)) folders.emplace_back(buf);
  for (const fs::path& f : folders)
    if (FileExists(f / name)) return f / name;
  return {};
}

void TvexSkinEngine::SetSkinFile(const std::string& v) {
  // No critical-error dialogs while drives are probed.
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
  struct TRestore {
    UINT mode;
    ~TRestore() { SetErrorMode(mode); }
  } restore{oldMode};
  const fs::path found = FindSkinFile(v);
  if (found.empty()) return;
  // A skin that fails to load leaves the engine as it was: the previous skin, under its name.
  const std::string previous = skinFile_;
  skinFile_ = found.u8string();
  try {
    reader_.Load(found, password_);
    selected_ = -1;
    showingDark_ = false;
  } catch (...) {
    skinFile_ = previous;
    if (!Designing()) throw;
  }
}

void TvexSkinEngine::SetBuiltIn(bool v) {
  if (!Designing() && !HasState(csLoading))
    throw EComponentError("BuiltIn property only can be specified at design time!");
  if (v && Designing() && !HasState(csLoading) && !FileExists(fs::u8path(skinFile_)))
    throw EComponentError("Please specify the SkinFile property first!");
  builtIn_ = v;
}

void TvexSkinEngine::SetSkinAllForms(bool v) {
  skinAllForms_ = v;
  if (Designing() || HasState(csLoading)) return;
  if (v)
    SkinAllOpenForms();
  else
    UnskinOtherForms();
}

void TvexSkinEngine::SkinAllOpenForms() {
  InSkinAllForms = true;
  try {
    // A copy: attaching may create or free forms.
    const std::vector<TCustomForm*> forms = Application().Forms();
    for (TCustomForm* f : forms) {
      const auto& now = Application().Forms();
      if (std::find(now.begin(), now.end(), f) == now.end()) continue;
      if (f->Tag() == disabledTag_ || f->ClassName() == "TfrmMSNPopForm" || f->HasState(csDestroying)) continue;
      if (SendMessageW(f->Handle(), SKM_QUERYSKINNED, 0, 0) != 0) continue;
      AttachWindow(f->Handle(), false);
    }
  } catch (...) {
    InSkinAllForms = false;
    throw;
  }
  InSkinAllForms = false;
}

void TvexSkinEngine::UnskinOtherForms() {
  HWND own = nullptr;
  if (Owner() && Owner()->Is<TCustomForm>() && static_cast<TCustomForm*>(Owner())->HandleAllocated())
    own = static_cast<TCustomForm*>(Owner())->Handle();
  std::vector<HWND> others;
  for (const auto& f : frames_)
    if (f->Handle() != own) others.push_back(f->Handle());
  for (HWND h : others) DetachWindow(h);
}

void TvexSkinEngine::SetResSysMenuMin(const std::wstring& v) {
  if (systemMenu_->Items()->Count() > 0) systemMenu_->Items()->Items(0)->SetCaption(v);
  resMin_ = v;
}
void TvexSkinEngine::SetResSysMenuMax(const std::wstring& v) {
  if (systemMenu_->Items()->Count() > 1) systemMenu_->Items()->Items(1)->SetCaption(v);
  resMax_ = v;
}
void TvexSkinEngine::SetResSysMenuClose(const std::wstring& v) {
  if (systemMenu_->Items()->Count() > 3) systemMenu_->Items()->Items(3)->SetCaption(v);
  resClose_ = v;
}

bool TvexSkinEngine::HasSkinData() const { return builtIn_ && FileExists(fs::u8path(skinFile_)); }

std::vector<std::uint8_t> TvexSkinEngine::WriteSkinData() const { return keys::ReadWholeFile(fs::u8path(skinFile_)); }

void TvexSkinEngine::ReadSkinData(const std::vector<std::uint8_t>& data) {
  const fs::path temp = SaveToFreshTemp(data, SaveAttempts());
  if (temp.empty()) {
    if (Designing()) return;
    throw keys::EvexSkinError(keys::kFailedToReadMessage);
  }
  const std::string remembered = skinFile_;
  try {
    SetSkinFile(temp.u8string());
  } catch (...) {
    skinFile_ = remembered;
    keys::RemoveFileQuietly(temp);
    throw;
  }
  skinFile_ = remembered;
  keys::RemoveFileQuietly(temp);
  storedSkin_ = data;
  selected_ = -1;
}

void TvexSkinEngine::LoadSkinBytes(const std::vector<std::uint8_t>& data, const std::string& password) {
  const fs::path temp = SaveToFreshTemp(data, SaveAttempts());
  if (temp.empty()) throw keys::EvexSkinError(keys::kFailedToReadMessage);
  try {
    reader_.Load(temp, password);
  } catch (...) {
    keys::RemoveFileQuietly(temp);
    throw;
  }
  keys::RemoveFileQuietly(temp);
}

void TvexSkinEngine::LoadSkinData(const std::vector<std::uint8_t>& data, const std::string& password) {
  LoadSkinBytes(data, password);
  skinFile_.clear();
  selected_ = -1;
}

bool TvexSkinEngine::SelectBuiltInSkin(int index) {
  if (index < -1 || index >= additional_->Count()) return false;
  const std::vector<std::uint8_t>& data = index < 0 ? storedSkin_ : additional_->Item(index)->StoredSkin();
  if (data.empty()) return false;
  // A skin that fails to load leaves the current one showing.
  LoadSkinBytes(data, index < 0 ? password_ : additional_->Item(index)->Password);
  selected_ = index;
  showingDark_ = index >= 0 && index == darkBuiltIn_;
  return true;
}

void TvexSkinEngine::DefineProperties(TFiler& filer) {
  filer.DefineBinaryProperty(
      "SkinData", [this](const std::vector<std::uint8_t>& d) { ReadSkinData(d); }, [this] { return WriteSkinData(); },
      HasSkinData());
}

namespace {

// Top-level windows whose drawing is held (WM_SETREDRAW) while their skin changes; released, each
// is drawn once, frame and children. Only visible windows are held: giving redraw back makes a
// window visible. The engine's list names every window held, by this switch or one around it;
// each switch gives back only its own.
class THeldRedraw {
 public:
  explicit THeldRedraw(std::vector<HWND>& all) : all_(all) {}
  THeldRedraw(const THeldRedraw&) = delete;
  THeldRedraw& operator=(const THeldRedraw&) = delete;
  ~THeldRedraw() { Release(); }

  void Hold(HWND w) {
    if (!w || !IsWindowVisible(w) || (GetWindowLongW(w, GWL_STYLE) & WS_CHILD)) return;
    SendMessageW(w, WM_SETREDRAW, FALSE, 0);
    held_.push_back(w);
    all_.push_back(w);
  }
  void Release() {
    std::vector<HWND> held;
    held.swap(held_);
    for (HWND w : held) {
      const auto at = std::find(all_.begin(), all_.end(), w);
      if (at != all_.end()) all_.erase(at);
    }
    for (HWND w : held) {
      if (!IsWindow(w)) continue;
      SendMessageW(w, WM_SETREDRAW, TRUE, 0);
      RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
  }

 private:
  std::vector<HWND>& all_;
  std::vector<HWND> held_;
};

}  // namespace

bool TvexSkinEngine::WindowShows(HWND w) const {
  if (!w) return false;
  if (IsWindowVisible(w)) return true;
  for (HWND p = w; p;) {
    if (std::find(redrawHeld_.begin(), redrawHeld_.end(), p) != redrawHeld_.end()) return true;
    const LONG style = GetWindowLongW(p, GWL_STYLE);
    if (!(style & WS_VISIBLE) || !(style & WS_CHILD)) return false;
    p = GetParent(p);
  }
  return false;
}

void TvexSkinEngine::ReadMetrics(TScaledView& view) {
  const utils::TvexSkinReader* reader = &view.reader;
  TSkinMetrics& m = view.metrics;
  m.FormColor = reader->GetColor(keys::color::SKIN2_FORMCOLOR);
  m.FormBrush = TOwnedBrush(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(m.FormColor))));
  m.TransparentColor = reader->GetColor(keys::color::SKIN2_TRANSCOLOR);
  m.TitleFontColor = reader->GetColor(keys::color::SKIN2_TITLEFONTCOLOR);
  for (int i = 0; i < 13; ++i) m.MenuColors[static_cast<std::size_t>(i)] = reader->GetColor(3 + i);
  // Sizes only: the bitmap objects are made when something draws them.
  auto w = [reader](int key) { return static_cast<int>(reader->BitmapSize(key).cx); };
  auto h = [reader](int key) { return static_cast<int>(reader->BitmapSize(key).cy); };
  m.TitleBarHeight = h(keys::bitmap::SKIN2_TITLEBAR1);
  m.LeftBorderWidth = w(keys::bitmap::SKIN2_FORMLEFTBORDER);
  m.RightBorderWidth = w(keys::bitmap::SKIN2_FORMRIGHTBORDER);
  m.BottomBorderHeight = h(keys::bitmap::SKIN2_FORMBOTTOMBORDER1);
  m.IconPosX = reader->GetPosition(keys::position::SKIN2_TITLEBARICONPOSX);
  m.IconPosY = reader->GetPosition(keys::position::SKIN2_TITLEBARICONPOSY);
  m.CaptionTop = reader->GetPosition(keys::position::SKIN2_TITLEBARCAPTIONTOP);
  m.ButtonPosX = reader->GetPosition(keys::position::SKIN2_TITLEBARBUTTONPOSX);
  m.ButtonPosY = reader->GetPosition(keys::position::SKIN2_TITLEBARBUTTONPOSY);
  m.TitleRegionMinY = reader->GetPosition(keys::position::SKIN2_TITLEBARREGIONMINY);
  m.TitleRegionMaxY = reader->GetPosition(keys::position::SKIN2_TITLEBARREGIONMAXY);
  m.BottomRegionMinY = reader->GetPosition(keys::position::SKIN2_BOTTOMREGIONMINY);
  m.BottomRegionMaxY = reader->GetPosition(keys::position::SKIN2_BOTTOMREGIONMAXY);
  const int t1 = w(keys::bitmap::SKIN2_TITLEBAR1), t3 = w(keys::bitmap::SKIN2_TITLEBAR3),
            buttons = w(keys::bitmap::SKIN2_TITLEBUTTONS);
  // The room the caption keeps scales too (35 pixels at 96 DPI).
  const int room = skin2::ScaleLength(35, view.dpi);
  m.MinTitleWidth = reader->GetSwitch(keys::switches::SKIN2_TITLEFIVESECT) ? t1 + t3 + buttons / 6 + room
                                                                           : t1 + std::max(t3, buttons / 6 + room);
  view.scrollRes.SetReader(&view.reader);
  view.tabRes.SetReader(&view.reader);
  view.progressRes.SetReader(&view.reader);
}

TvexSkinEngine::TScaledView& TvexSkinEngine::View(int dpi) {
  if (dpi == 96 || dpi <= 0 || !reader_.Ready()) return own_;
  for (auto& v : scaledViews_)
    if (v->dpi == dpi) return *v;
  auto view = std::make_unique<TScaledView>();
  view->dpi = dpi;
  view->reader.Hold(std::make_shared<const utils::TvexSkin>(reader_.Skin(), dpi));
  ReadMetrics(*view);
  scaledViews_.push_back(std::move(view));
  return *scaledViews_.back();
}

void TvexSkinEngine::SkinChanged(utils::TvexSkinReader* reader) {
  metrics_.FormBrush.Reset();
  if (OnSkinChanging.handler) OnSkinChanging.handler(this);

  // The scaled skins of the old skin go; each is made again from the new one when asked for.
  scaledViews_.clear();
  TSkinMetrics& m = metrics_;
  ReadMetrics(own_);

  // The check glyph: the skin's when it has one, else the one before stays. The list takes the
  // glyph's own size, whatever it is; a skin without a transparent colour masks none of it.
  if (const TBitmap* check = reader->GetBitmap(keys::bitmap::SKIN2_CHECKEDMENUICON); check && !check->Empty()) {
    TBitmap glyph;
    glyph.Assign(*check);
    TImageList& list = CheckedMenuImages();
    list.SetSize(glyph.Width(), glyph.Height());
    list.Clear();
    if (IsNoColor(m.TransparentColor)) {
      list.Add(glyph);
    } else {
      glyph.SetTransparent(true);
      list.AddMasked(glyph, m.TransparentColor);
    }
  }

  // The windows that show a skin take the new one with their drawing held: frames, menu bars and
  // controls change in place, then each window paints once, in the new skin.
  THeldRedraw held(redrawHeld_);
  if (active_)
    ForEachFrame([&](TvexSkinWindow* frame) {
      if (frame->Skinned()) held.Hold(frame->WindowHandle());
    });
  bool first = true;
  ForEachFrame([&](TvexSkinWindow* frame) {
    if (active_ && frame->Skinned()) {
      // A window that shows a skin takes the new one over it, without going through its own
      // look: unskinning first painted every open window unskinned for a moment (and resized
      // it twice), a visible flicker on every switch.
      frame->ReadSkinSwitches();
      frame->SetSkinned(true);
    } else if (active_) {
      HWND wnd = frame->WindowHandle();
      const bool visible = IsWindowVisible(wnd) != FALSE;
      // Hidden only where the platform cannot tell a top-level window (no GetAncestor).
      const bool hide = !utils::LateGetAncestor(wnd, GA_PARENT);
      if (hide) ShowWindow(wnd, SW_HIDE);
      frame->SetSkinned(false);
      frame->SetSkinned(true);
      if (visible && hide) {
        ShowWindow(wnd, SW_SHOW);
        if (first) SetActiveWindow(wnd);
      }
    }
    first = false;
    frame->ApplySkinSwitches();
  });
  held.Release();
  // A skin that arrives after Active was set: the menus are skinned now.
  if (!HasState(csLoading) && IsSkinActive()) SkinOwnerMenus();
  if (OnSkinChanged.handler) OnSkinChanged.handler(this);
}

bool TvexSkinEngine::GetSkinBitmap(int index, TBitmap& target, int count, int slice) const {
  const TBitmap* b = reader_.GetBitmap(index);
  if (!b) return false;
  if (count == 0 || slice == 0)
    target.Assign(*b);
  else
    utils::SliceBitmap(b, target, count, slice);
  return true;
}

void TvexSkinEngine::Loaded() {
  TComponent::Loaded();
  // The skin of the pair the app mode asks for, before the form shows any.
  try {
    ShowLightOrDark();
  } catch (...) {
    // The dark skin does not load: the light one shows.
  }
  if (!Designing() && Owner() && Owner()->Is<TCustomForm>()) AttachOwnerForm(static_cast<TCustomForm*>(Owner()));
  for (const std::string& n : autoSkinNames_.Items())
    if (AutoSkinClassNames().IndexOf(n) < 0) AutoSkinClassNames().Add(n);
}

void TvexSkinEngine::AttachOwnerForm(TCustomForm* form) {
  if (!form) return;
  SkinFormMenus(form);
  if (form->Is<TForm>()) {
    AttachWindow(form->Handle(), false);
    return;
  }
  if (FindFrame(form->Handle())) return;
  PendingForm = form;
  try {
    frames_.emplace_back(new TvexSkinWindowVCL(form->Handle(), false, this));
  } catch (...) {
    PendingForm = nullptr;
    throw;
  }
  PendingForm = nullptr;
}

TvexSkinWindow* TvexSkinEngine::FindFrame(HWND handle) const {
  for (const auto& w : frames_)
    if (w->Handle() == handle) return w.get();
  return nullptr;
}

void TvexSkinEngine::AttachWindow(HWND handle, bool isDialog) {
  if (!handle || FindFrame(handle)) return;
  if (frames_.empty() && !Designing()) {
    // No window heard the system's settings change while none was skinned: high contrast is
    // asked now, the rest once this activation is over.
    steppedAside_ = utils::HighContrastOn();
    PostSystemCheck();
  }
  // The system's settings may have changed while no frame was there to hear it.
  utils::ForgetNonClientMetrics();
  // A frame whose construction fails has put the window back as it was; it raises to the caller.
  if (utils::FindFormByHandle(handle))
    AdoptFrame(new TvexSkinWindowVCL(handle, isDialog, this));
  else
    AdoptFrame(new TvexSkinWindowWnd(handle, isDialog, this));
}

void TvexSkinEngine::AdoptFrame(TvexSkinWindow* frame) {
  if (!frame) return;
  frames_.emplace_back(frame);
  frame->ApplySkinSwitches();
}

void TvexSkinEngine::ForgetFrame(TvexSkinWindow* frame) {
  for (auto it = frames_.begin(); it != frames_.end(); ++it)
    if (it->get() == frame) {
      it->release();  // the frame is on its way out already
      frames_.erase(it);
      return;
    }
}

template <class F>
void TvexSkinEngine::ForEachFrame(F&& action) {
  // Each frame is known by its liveness token, not its address: a frame freed during the walk and
  // another made at the same address are not taken for each other.
  std::vector<std::pair<TvexSkinWindow*, std::weak_ptr<bool>>> snapshot;
  for (const auto& f : frames_) snapshot.emplace_back(f.get(), f->FAlive);
  for (const auto& [frame, token] : snapshot) {
    const std::shared_ptr<bool> alive = token.lock();
    if (alive && *alive) action(frame);
  }
}

void TvexSkinEngine::DetachWindow(HWND handle) {
  for (auto it = frames_.begin(); it != frames_.end(); ++it)
    if ((*it)->Handle() == handle) {
      host::TComponentPtr<TvexSkinWindow> frame = std::move(*it);
      frames_.erase(it);
      Detaching = true;
      frame.reset();
      Detaching = false;
      return;
    }
}

void TvexSkinEngine::Notification(TComponent* c, TOperation op) {
  TComponent::Notification(c, op);
  if (Designing() || c == this) return;
  if (op == TOperation::opInsert) {
    if (c->Is<TMenu>() || c->Is<TMenuItem>()) {
      QueueForSkinning(c);
    } else if (c->Is<TvexSkinEngine>()) {
      throw EComponentError("One form can only catch one TvexSkinEngine!");
    }
  } else {
    pending_.erase(std::remove(pending_.begin(), pending_.end(), c), pending_.end());
    // A skinned menu taken out of the form is unskinned; one that is being destroyed (perhaps
    // heard of through its free notification only) is just forgotten.
    const bool skinned = std::find(skinnedMenus_.begin(), skinnedMenus_.end(), c) != skinnedMenus_.end();
    if (skinned && !c->HasState(csDestroying))
      UnskinMenu(static_cast<TMenu*>(c));
    else
      Forget(c);
  }
}

LRESULT CALLBACK TvexSkinEngine::UtilityProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_APP) {
    if (auto* e = reinterpret_cast<TvexSkinEngine*>(GetWindowLongPtrW(wnd, GWLP_USERDATA))) GuardCallback([e] { e->SkinPending(); });
    return 0;
  }
  if (msg == WM_APP + 1) {
    if (auto* e = reinterpret_cast<TvexSkinEngine*>(GetWindowLongPtrW(wnd, GWLP_USERDATA)))
      GuardCallback([e] { e->FollowSystemSettings(); });
    return 0;
  }
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

void TvexSkinEngine::QueueForSkinning(TComponent* c) {
  pending_.push_back(c);
  if (HWND u = UtilityWindow()) PostMessageW(u, WM_APP, 0, 0);
}

void TvexSkinEngine::SkinPending() {
  std::vector<TComponent*> work;
  work.swap(pending_);
  if (!IsSkinActive()) return;
  // The menus heard of here are the owner form's: a form that opts out keeps them all unskinned,
  // those made at run time too.
  if (Owner() && Owner()->Tag() == disabledTag_) return;
  // Items added to one menu together (a recent-files list) are hooked under one update of that
  // menu: it is rebuilt once, not once per item.
  struct TUpdates {
    std::vector<TMenu*> menus;
    ~TUpdates() {
      for (TMenu* m : menus) m->EndUpdate();
    }
  } updates;
  for (TComponent* c : work) {
    TMenu* menu = c->Is<TMenuItem>() ? static_cast<TMenuItem*>(c)->GetParentMenu() : nullptr;
    if (menu && std::find(updates.menus.begin(), updates.menus.end(), menu) == updates.menus.end()) {
      menu->BeginUpdate();
      updates.menus.push_back(menu);
    }
  }
  for (TComponent* c : work) {
    if (c->Is<TMenu>()) {
      if (!MenuOptedOut(static_cast<TMenu*>(c))) SkinMenu(static_cast<TMenu*>(c));
    } else if (c->Is<TMenuItem>()) {
      auto* item = static_cast<TMenuItem*>(c);
      // An item already placed in a menu that opts out stays as that menu is.
      if (!MenuOptedOut(item->GetParentMenu())) HookItem(item);
    }
  }
}

// ----- menus -----

void TvexSkinEngine::SkinFormMenus(TCustomForm* form) {
  if (!form || !IsSkinActive() || form->Tag() == disabledTag_) return;
  for (int i = 0; i < form->ComponentCount(); ++i) {
    TComponent* c = form->Components(i);
    if (c->Is<TMenu>() && !MenuOptedOut(static_cast<TMenu*>(c)))
      SkinMenu(static_cast<TMenu*>(c));
    else if (c->Is<TMenuItem>() && !static_cast<TMenuItem*>(c)->GetParentMenu())
      HookItem(static_cast<TMenuItem*>(c));  // not in a menu yet: hooked as when it was inserted
  }
}

void TvexSkinEngine::UnskinFormMenus(TCustomForm* form) {
  if (!form) return;
  for (int i = 0; i < form->ComponentCount(); ++i) {
    TComponent* c = form->Components(i);
    if (c->Is<TMenu>() && std::find(skinnedMenus_.begin(), skinnedMenus_.end(), c) != skinnedMenus_.end())
      UnskinMenu(static_cast<TMenu*>(c));
  }
}

void TvexSkinEngine::SkinOwnerMenus() {
  if (Owner() && Owner()->Is<TCustomForm>()) SkinFormMenus(static_cast<TCustomForm*>(Owner()));
}

void TvexSkinEngine::UnskinAllMenus() {
  for (TMenu* m : std::vector<TMenu*>(skinnedMenus_))
    if (m != systemMenu_.get()) UnskinMenu(m);
  for (TMenuItem* item : std::vector<TMenuItem*>(hookedItems_)) {
    TMenu* menu = item->GetParentMenu();
    if (menu) menu->BeginUpdate();
    UnskinMenuItem(item);
    if (menu) {
      menu->Changed();
      menu->EndUpdate();
    }
    Forget(item);
  }
}

void TvexSkinEngine::Forget(TComponent* c) {
  const auto menuAt = std::find(skinnedMenus_.begin(), skinnedMenus_.end(), c);
  const auto itemAt = std::find(hookedItems_.begin(), hookedItems_.end(), c);
  if (menuAt == skinnedMenus_.end() && itemAt == hookedItems_.end()) return;
  if (menuAt != skinnedMenus_.end()) skinnedMenus_.erase(menuAt);
  if (itemAt != hookedItems_.end()) hookedItems_.erase(itemAt);
  RemoveFreeNotification(c);
}

void TvexSkinEngine::HookItem(TMenuItem* item) {
  SkinMenuItem(item);
  if (std::find(hookedItems_.begin(), hookedItems_.end(), item) == hookedItems_.end()) {
    hookedItems_.push_back(item);
    FreeNotification(item);
  }
}

void TvexSkinEngine::SkinMenu(TMenu* menu) {
  if (!menu) return;
  if (std::find(skinnedMenus_.begin(), skinnedMenus_.end(), menu) == skinnedMenus_.end()) {
    skinnedMenus_.push_back(menu);
    FreeNotification(menu);
  }
  menu->BeginUpdate();
  menu->SetOwnerDraw(true);
  if (menu->Is<TMainMenu>() && !menu->Images()) menu->SetImages(&MenuPlaceholderImages());
  for (int i = 0; i < menu->Items()->Count(); ++i) SkinMenuItem(menu->Items()->Items(i));
  menu->EndUpdate();
}

void TvexSkinEngine::SkinMenuItem(TMenuItem* item) {
  utils::HookMenuItems(
      item,
      [self = self_](TMenuItem* i, TCanvas& c, RECT r, bool s) {
        if (*self)
          (*self)->DrawMenuItem(i, c, r, s);
        else
          i->DefaultDrawItem(c, r, s);
      },
      [self = self_](TMenuItem* i, TCanvas& c, int& w, int& h) {
        if (*self)
          (*self)->MeasureMenuItem(i, c, w, h);
        else
          i->DefaultMeasureItem(c, w, h);
      });
}

void TvexSkinEngine::UnskinMenuItem(TMenuItem* item) {
  item->OnDrawItem = nullptr;
  item->OnMeasureItem = nullptr;
  for (int i = 0; i < item->Count(); ++i) UnskinMenuItem(item->Items(i));
}

void TvexSkinEngine::UnskinMenu(TMenu* menu) {
  if (!menu) return;
  Forget(menu);
  menu->BeginUpdate();
  menu->SetOwnerDraw(false);
  if (menu->Is<TMainMenu>() && menu->Images() == &MenuPlaceholderImages()) menu->SetImages(nullptr);
  for (int i = 0; i < menu->Items()->Count(); ++i) UnskinMenuItem(menu->Items()->Items(i));
  menu->EndUpdate();
}

namespace {

bool IsMainMenuTopItem(const TMenuItem* item) {
  const TMenu* m = item->GetParentMenu();
  return m && m->Is<TMainMenu>() && item->Parent() == m->Items();
}

// The item's image list when it has real images (not the placeholder).
const TImageList* ItemImages(const TMenuItem* item) {
  const TImageList* l = utils::FindSubMenuImages(item);
  return l && l != &MenuPlaceholderImages() ? l : nullptr;
}

}  // namespace

void TvexSkinEngine::MeasureMenuItem(TMenuItem* item, TCanvas& canvas, int& width, int& height) {
  // An item hooked before it was moved into a menu that opts out looks as that menu does.
  if (IsMainMenuTopItem(item) || MenuOptedOut(item->GetParentMenu())) {
    item->DefaultMeasureItem(canvas, width, height);
    return;
  }
  if (item->IsLine()) {
    height = 5;
    return;
  }
  utils::AssignMenuFont(canvas.Font());
  const TImageList* images = ItemImages(item);
  const std::wstring caption = item->Caption();
  const std::wstring shortcut = ShortCutToText(item->ShortCut());
  height = std::max({canvas.TextHeight(caption.empty() ? L" " : caption), 21, images ? images->Height() + 5 : 0});
  width = canvas.TextWidth(caption) + (shortcut.empty() ? 0 : canvas.TextWidth(shortcut)) + 66;
}

void TvexSkinEngine::DrawMenuItem(TMenuItem* item, TCanvas& canvas, RECT r, bool selected) {
  if (IsMainMenuTopItem(item) || MenuOptedOut(item->GetParentMenu())) {
    // The menu bar draws these; until a form has one, the framework's own look stands.
    item->DefaultDrawItem(canvas, r, selected);
    return;
  }
  const auto& mc = metrics_.MenuColors;
  const TImageList* images = ItemImages(item);
  const int B = images ? images->Width() + 10 : 26;
  const int IH = images ? images->Height() : 16;
  const TMenu* menu = item->GetParentMenu();
  const bool rtl = menu && menu->Owner() && menu->Owner()->Is<TControl>() &&
                   static_cast<const TControl*>(menu->Owner())->UseRightToLeftAlignment();
  const RECT bar = rtl ? RECT{r.right - B, r.top, r.right, r.bottom} : RECT{r.left, r.top, r.left + B, r.bottom};
  const RECT text = rtl ? RECT{r.left, r.top, r.right - B, r.bottom} : RECT{r.left + B, r.top, r.right, r.bottom};
  auto paintBar = [&] {
    if (mc[mcLeftBarStart] == mc[mcLeftBarEnd])
      utils::FillRectColor(canvas, bar, mc[mcLeftBarStart]);
    else
      utils::GradientFillColumns(canvas, bar, rtl ? mc[mcLeftBarEnd] : mc[mcLeftBarStart], rtl ? mc[mcLeftBarStart] : mc[mcLeftBarEnd]);
    utils::FillRectColor(canvas, text, mc[mcMenuItem]);
  };

  if (item->IsLine()) {
    paintBar();
    utils::DrawMenuSeparator(canvas, r, MakeRgb(0x84, 0x82, 0x84), !rtl, B);
    return;
  }
  if (selected && item->Enabled()) {
    utils::FillRectColor(canvas, r, mc[mcSelected]);
    utils::FrameRectColor(canvas, r, mc[mcSelectedBorder]);
  } else {
    paintBar();
  }

  utils::AssignMenuFont(canvas.Font());
  canvas.Brush.style = TBrushStyle::bsClear;
  canvas.Font().SetColor(!item->Enabled() ? DisabledMenuFontColor : selected ? mc[mcSelectedFont] : mc[mcMenuItemFont]);
  if (item->Default()) canvas.Font().SetStyle(canvas.Font().Style() | fsBold);
  RECT captionRect = rtl ? RECT{r.left + 4, r.top, r.right - B - 4, r.bottom} : RECT{r.left + B + 4, r.top, r.right, r.bottom};
  canvas.DrawText(item->Caption(), captionRect, DT_SINGLELINE | DT_VCENTER | (rtl ? DT_RIGHT | DT_RTLREADING : DT_LEFT));
  const std::wstring shortcut = ShortCutToText(item->ShortCut());
  if (!shortcut.empty()) {
    RECT sr = rtl ? RECT{r.left + 30, r.top, r.right, r.bottom}
                  : RECT{r.right - canvas.TextWidth(shortcut) - 16, r.top, r.right, r.bottom};
    canvas.DrawText(shortcut, sr, DT_SINGLELINE | DT_VCENTER | (rtl ? DT_LEFT : 0));
  }
  canvas.Brush.style = TBrushStyle::bsSolid;

  const int barLeft = bar.left;
  const TImageList* own = menu ? menu->Images() : nullptr;
  const bool validIndex = own && item->ImageIndex() >= 0 && item->ImageIndex() < own->Count();
  if (item->Checked()) {
    if (!validIndex) {
      TImageList& checks = CheckedMenuImages();
      if (checks.Count() > 0)
        checks.Draw(canvas, barLeft + (B - checks.Width()) / 2, r.top + (IH + 5 - checks.Height()) / 2, 0, item->Enabled());
    } else {
      utils::FrameRectColor(canvas, RECT{barLeft + 2, r.top + 1, barLeft + B - 5, r.top + IH + 4}, clBlack);
      utils::FillRectColor(canvas, RECT{barLeft + 3, r.top + 2, barLeft + B - 6, r.top + IH + 3}, mc[mcMenuItem]);
    }
  }
  if (item->ImageIndex() != -1 && images) {
    if (item->ImageIndex() < images->Count())
      images->Draw(canvas, barLeft + 4, r.top + 3, item->ImageIndex(), item->Enabled());
  } else if (!item->Bitmap().Empty()) {
    canvas.StretchDraw(RECT{barLeft + 4, r.top + 3, barLeft + 20, r.top + 19}, item->Bitmap());
  }
}

void TvexSkinEngine::SystemMenuPopup() {
  if (!SystemMenuTarget) return;
  TMenuItem* items = systemMenu_->Items();
  if (items->Count() >= 4) items->Items(3)->SetEnabled(SystemMenuTarget->FCloseDrawn);
  if (items->Count() >= 2) items->Items(1)->SetEnabled(SystemMenuTarget->FMaximizeDrawn);
  if (items->Count() >= 1) items->Items(0)->SetEnabled(SystemMenuTarget->FMinimizeDrawn);
}

}  // namespace vex::engine
