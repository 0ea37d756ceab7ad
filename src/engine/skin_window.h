// Frame wrappers: one per skinned top-level window. The base reserves and paints the skinned
// frame and drives it from the window's non-client messages; TvexSkinWindowWnd wraps a native
// window known only by its handle (dialogs, message boxes).
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "host/bitmap.h"
#include "host/component.h"
#include "host/messages.h"
#include "image/frame_layout.h"
#include "utils/skin_reader.h"

namespace vex::engine {

class TvexSkinEngine;
class TvexSkinControl;
struct TSkinMetrics;

inline constexpr UINT SKM_QUERYSKINNED = 0x2AAA;
inline constexpr UINT SKM_QUERYACTIVE = 0x2AAB;
inline constexpr UINT SKM_REPAINT = 0x2AAC;
inline constexpr UINT SKM_MDICHILDZOOMED = 0x2AAD;
// To a multiple-document frame form: WParam is the window of the child that became active (its
// menu is read from the child, so a message that arrives late never names a freed menu), or the
// frame's own window when no child menu shows any more.
inline constexpr UINT SKM_MENUCHANGED = 0x83E8;
inline constexpr UINT SKM_QUERYMENUBARHEIGHT = 0x83E9;
// To a frame form: a child was shown, hidden, made, renamed or activated; the window menu follows.
inline constexpr UINT SKM_UPDATEWINDOWMENU = 0x83EA;
// To a frame form's client window: the frame sizes its skinned children keep.
inline constexpr UINT SKM_QUERYFRAMETOP = 0x83EB;
inline constexpr UINT SKM_QUERYFRAMESIDE = 0x83EC;
inline constexpr UINT SKM_QUERYFRAMEBOTTOM = 0x83ED;
// To a child: 1 when its last WM_SHOWWINDOW hid it.
inline constexpr UINT SKM_QUERYHIDDEN = 0x83EE;

// Subclass ids, one per layer that sits in a window's message path.
// The answer to WM_CTLCOLORSTATIC and WM_CTLCOLORMSGBOX on the skin's form colour: a transparent
// background, the skin's control font colour (so text reads on a dark skin too), the form brush.
LRESULT SkinStaticColours(TvexSkinEngine& engine, HDC dc);

enum TSubclassId : UINT_PTR { sidFrame = 1, sidInnerDialog = 2, sidControl = 3, sidMDIClient = 4 };

class TvexSkinWindow : public host::TComponent {
  VEX_CLASS(TvexSkinWindow)
 public:
  TvexSkinWindow(host::TComponent* owner, TvexSkinEngine* engine, const host::TClassInfo& cls = StaticClass());
  ~TvexSkinWindow() override;

  // Window queries answered by each kind of frame.
  virtual HWND Handle() const = 0;
  HWND WindowHandle() const { return Handle(); }
  // The window shows the skin now (not only: is meant to).
  bool Skinned() const { return FSkinned; }
  virtual std::wstring GetCaptionW() const;
  virtual bool CanSetRegion() const { return true; }
  virtual int MenuBarHeight() const { return 0; }
  virtual HICON IconHandle() const { return nullptr; }
  virtual bool HasHelpButton() const { return false; }
  virtual bool IsMDIForm() const { return false; }
  virtual bool IsMDIChild() const { return false; }
  virtual bool HasSystemIcon() const { return false; }
  virtual bool HasCloseButton() const { return false; }
  virtual bool HasMaximizeButton() const { return false; }
  virtual bool HasMinimizeButton() const { return false; }
  virtual bool InitWhenHidden() const { return false; }
  virtual bool MenuBarSeparator() const { return false; }
  virtual bool ClaimNCActivate() const { return false; }
  // Rows of the frame below the title that hold the window's own menu bar, painted by the frame
  // (the window keeps its menu while skinned); 0 without one.
  int NativeMenuHeight() const;
  // The window's menu bar items in window coordinates, left to right.
  std::vector<RECT> MenuItemRects() const;
  // Opens the popup of the menu bar item `index` below its place (or sends its command), and
  // follows Left and Right to the neighbouring items.
  void TrackMenuItem(int index);
  // The menu bar item whose mnemonic is `ch`, or -1.
  int MenuItemByMnemonic(wchar_t ch) const;
  // Height of the window's own menu bar when the frame was captured; the item shown open.
  int FMenuHeight = 0, FMenuOpen = -1;
  // Style bits skinning removed (the system menu), given back on unskinning.
  DWORD FStrippedStyle = 0;
  // The title buttons take the system menu's place: its style bit goes, remembered, and only
  // what was taken is given back.
  void StripSystemMenu();
  void RestoreStrippedStyle();
  // The band's rectangle in window coordinates (empty without one).
  RECT MenuBandRect() const;

  void SetSkinned(bool value);
  void InitFrame();
  // Reads the skin's region switches and repaints the frame with them (when it shows the skin).
  void ApplySkinSwitches();
  // Only reads them: the title and bottom buffers take the skin's transparency.
  void ReadSkinSwitches();
  // The desktop window manager's corner and border attributes as the skin's shape and border ask
  // (where the system has them); the window's own when it shows no skin.
  void UpdateDwmAttributes();
  void PaintFrame();
  void UpdateRegion();
  int TitleHeight() const;
  // The resolution the window shows at (dots per inch), and the skin, and its figures, at it.
  int Dpi() const { return FDpi; }
  // A length of the frame's own layout at 96 dots per inch, at the window's resolution.
  int Px(int length) const;
  const TSkinMetrics& Metrics() const;
  utils::TvexSkinReader* Reader() const;
  // The window is at another resolution now (WM_DPICHANGED, or found at skinning): the frame's
  // figures and what it captured of the window's own frame are taken to it.
  void SetDpi(int dpi);
  // WM_DPICHANGED: the new resolution, the window's own handling, the suggested place, the frame
  // measured and painted again.
  void DpiChanged(host::TMessage& m);
  // The system menu's requests: 0 minimize or restore, 1 maximize or restore, 3 close.
  virtual void SystemMenuCommand(int item);
  void CloseWindow();
  void ContextHelp();
  void ToggleMaximize();
  void ToggleMinimize();
  void ShowSystemMenuAtIcon();
  void ShowSystemMenuAt(POINT screen);

  // The message path: every message of the window comes here first.
  void FrameWndProc(host::TMessage& m);
  // The title layout for the window's current size and buttons (window coordinates).
  image::TTitleLayout CurrentLayout() const { return image::LayoutTitle(FrameSkin(), TitleWindow()); }

  // Frame state (read by the engine, the hook and tests).
  TvexSkinEngine* FEngine;
  bool FShowTitle = true, FShowBorders = true, FDestroying = false;
  host::TBitmap FTitleBuffer, FBottomBuffer;
  std::unique_ptr<host::TBitmap> FTitleComposite, FBottomComposite;
  int FSavedClientHeight = 0, FSavedClientWidth = 0;
  bool FCreatedByHook = false;
  // The control wrappers made for the window's controls, owned; and whether the window holds an
  // animation or progress control (its push buttons then get no hover timers).
  std::vector<std::unique_ptr<TvexSkinControl>> FControls;
  bool FHasAnimation = false;
  bool FMaximizeDrawn = false, FMinimizeDrawn = false, FCloseDrawn = false;
  int FHotButton = -1;
  bool FPressed = false, FActive = true, FSkinned = false, FInitialised = false, FZoomedChildMenu = false,
       FEnabled = true, FTitleRegion = false, FBottomRegion = false;
  int FButtonsLeft = 10000, FCaptionLeft = -10000;
  int FNativeTop = 0, FFrameBottom = 4, FFrameSide = 4, FNativeLeft = 0, FNativeBottom = 0, FExtraTop = 0;
  // The size change skinning applied to the window, as measured after the move (the system may
  // clamp a size): unskinning takes back exactly this, whatever the skin is by then.
  SIZE FAppliedSize{0, 0};
  // A title-element press holds the mouse until its release; the frame asked for the mouse leaving
  // its non-client area.
  bool FTitleCapture = false, FTrackingLeave = false;
  // The mouse is over the frame (a non-client mouse message came, and no leave since): only then
  // is the cursor asked where it is when the frame paints.
  bool FMouseOverFrame = false;
  // The corner and border attributes given to the desktop window manager, once any was given.
  bool FDwmSet = false;
  DWORD FDwmCorner = 0, FDwmBorder = 0;
  // Set when the window is being destroyed: nothing is resized or restyled any more.
  bool FWindowDying = false;
  // Set while the frame moves the window itself.
  bool FMoving = false;
  // The window's resolution: read when the frame is made, followed from WM_DPICHANGED.
  int FDpi = 96;
  // False once the wrapper is gone: code that forwarded a message checks it before going on (the
  // window, the engine or the form may be destroyed inside any forwarded call).
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);

 protected:
  virtual void UpdateSkinState() = 0;
  virtual void CallDefault(host::TMessage& m) = 0;
  virtual void CaptureFrameMetrics() {}
  // A new resolution for the window's contents (controls, fonts) where the frame stands in for
  // the window's own scaling; answers whether it did (the window then is in `suggested` too).
  virtual bool ScaleContents(int dpi, const RECT* suggested) { return false; }
  virtual void AttachControls() {}
  // Every control wrapper goes, last made first.
  virtual void DetachControls();
  // Every control wrapper re-reads the skin and has its control repaint; one that fails leaves
  // the others to do it.
  void RefreshControls();
  virtual void SaveClientSize() {}
  // After a new resolution, while skinned: what skinning adds to the window's size is recorded
  // as the frame adds it at the new resolution (the old figure scaled may be a pixel off, and a
  // skin switch or unskinning would then move an edge of the window).
  virtual void RecordSkinnedSize() {}
  virtual bool BeforeMessage(host::TMessage& m) { return true; }
  virtual void AfterMessage(host::TMessage& m) {}
  virtual void Detach() = 0;
  void BeforeDestruction() override;
  void ComputeClientRect(host::TMessage& m);
  void AdjustHitTest(host::TMessage& m);
  // What one paint of the frame works from.
  struct TFramePaint {
    utils::TvexSkinReader* reader;
    const TSkinMetrics& metrics;
    image::TFrameSkin skin;
    image::TTitleWindow window;
    image::TTitleLayout layout{};
    int width = 0, height = 0, titleHeight = 0, menuBarHeight = 0, bufferHeight = 0;
    bool zoomedChild = false;
  };
  // Everything the composed title depends on besides the skin: a paint that finds the same as
  // the last one copies the title it composed then.
  struct TTitleKey {
    int width = 0, bufferHeight = 0, titleHeight = 0, menuBarHeight = 0, hot = -1;
    bool minimized = false, zoomed = false, hasClose = false, hasMaximize = false, hasMinimize = false, hasHelp = false,
         hasSystemIcon = false, active = false, pressed = false, showBorders = false;
    int captionLeft = 0, extraTop = 0, nativeTop = 0;
    HICON icon = nullptr;
    std::wstring caption;
    bool operator==(const TTitleKey& o) const;
  };
  TTitleKey TitleKey(const TFramePaint& f, int hot) const;
  TTitleKey FTitleKey;
  bool FTitleComposed = false;
  // The width the bottom border was composed for (-1: none).
  int FBottomComposedWidth = -1;
  // The composed title and bottom border are made anew at the next paint (a new skin, new system
  // settings, skinning changed).
  void ForgetComposedFrame();
  // The title's background and sections into the title buffer; answers the caption shortened to
  // its room.
  std::wstring PaintTitle(const TFramePaint& f, host::TCanvas& title);
  // The element of the title under the cursor now (-1 none), in this paint's layout.
  int ElementUnderCursor(const TFramePaint& f) const;
  // The system icon and the title buttons, each in the image of its state.
  void PaintTitleButtons(const TFramePaint& f, host::TCanvas& title);
  void PaintCaption(const TFramePaint& f, host::TCanvas& title, const std::wstring& caption);
  void CopyTitleToWindow(const TFramePaint& f, host::TCanvas& window);
  // The side borders and the bottom border.
  void PaintBorders(const TFramePaint& f, host::TCanvas& window);
  void PaintUncoveredFrame(const TFramePaint& f, host::TCanvas& window);
  // Paints the window's own menu bar into `band` (window coordinates) of the window canvas.
  void PaintMenuBand(host::TCanvas& canvas, const RECT& band);
  // The height of the window's menu bar, measured below a caption `nativeTop` rows high.
  int MeasureNativeMenu(int nativeTop) const;
  // Mouse and keyboard access to the menu band (Alt, Alt with a letter, Alt+Space, clicks on
  // the band): answers whether the message was handled.
  bool MenuBandMessage(host::TMessage& m);

  // Moves the window so that it is its own size plus `delta`, and records what was applied.
  void ApplySizeDelta(SIZE delta);
  // The title button press ends: repaint and act on the element under the cursor.
  void ReleaseTitlePress();
  void EndTitleCapture();
  image::TFrameSkin FrameSkin() const;
  image::TTitleWindow TitleWindow() const;
};

// The frame of a native window (a dialog, a message box): the window is subclassed, and its
// window procedure is put back when the wrapper goes.
class TvexSkinWindowWnd : public TvexSkinWindow {
  VEX_CLASS(TvexSkinWindowWnd)
 public:
  TvexSkinWindowWnd(HWND handle, bool isDialog, TvexSkinEngine* engine);
  ~TvexSkinWindowWnd() override;
  HWND Handle() const override { return FHandle; }
  std::wstring GetCaptionW() const override;
  // The window's powers, from its own style (as it was before skinning took its system menu),
  // its class style and its system menu.
  bool HasSystemIcon() const override;
  bool HasCloseButton() const override;
  bool HasMaximizeButton() const override;
  bool HasMinimizeButton() const override;
  // The window's style with the bits skinning took away put back.
  DWORD OwnStyle() const;
  // Whether the window is a dialog of the system's dialog manager.
  bool IsDialogWindow() const;

  HWND FHandle = nullptr;
  bool FHeightFixed = false, FShellFileDialog = false, FFolderBrowser = false;
  HWND FInnerDialog = nullptr;

 protected:
  void UpdateSkinState() override;
  void CallDefault(host::TMessage& m) override;
  void CaptureFrameMetrics() override;
  void AttachControls() override;
  void RecordSkinnedSize() override;
  bool BeforeMessage(host::TMessage& m) override;
  void AfterMessage(host::TMessage& m) override;
  void Detach() override;

 private:
  void Attach(HWND handle);
  void InspectDialog();
  // Wraps the children of `parent` (and of a shell view among the window's own children) that
  // have no wrapper yet; `refresh` shows the skin on them at once. Answers how many it wrapped.
  std::size_t WrapChildren(HWND parent, bool refresh);
  // What the skinned frame adds to the window's own size at the window's resolution.
  SIZE SkinnedSizeDelta() const;
  static UINT WrapControlsMessage();
  bool FWrapPosted = false;
  static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  static LRESULT CALLBACK InnerDialogProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  bool attached_ = false;
};

// The window whose native frame wrapper last received WM_DESTROY.
HWND& LastDestroyedDialog();

}  // namespace vex::engine
