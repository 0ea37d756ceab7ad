#include "engine/skin_menu_bar.h"

#include <windowsx.h>

#include "engine/skin_window_vcl.h"

namespace vex::engine {

using namespace vex::host;

const TClassInfo& TvexSkinMenuBar::StaticClass() {
  static const TClassInfo info("TvexSkinMenuBar", &TToolBar::StaticClass());
  return info;
}

TvexSkinMenuBar::TvexSkinMenuBar(TComponent* owner, TvexSkinWindowVCL* frame) : TToolBar(owner, StaticClass()), FFrame(frame) {}

namespace {
bool WithoutSubItems(const TToolButton* b) { return b && b->MenuItem() && b->MenuItem()->Count() == 0; }
}  // namespace

bool TvexSkinMenuBar::AnyHot() const {
  // An item made hot by the keyboard or open counts at once: the tag follows only with the next
  // paint, and a letter typed straight after Alt arrives before it.
  if (HotIndex() >= 0 || OpenMenuIndex() >= 0) return true;
  for (int i = 0; i < ButtonCount(); ++i)
    if (Buttons(i)->Tag() == kHotTag) return true;
  return false;
}

void TvexSkinMenuBar::WndProc(TMessage& m) {
  if (HasState(csDesigning)) {
    TToolBar::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_LBUTTONDOWN: {
      // A press the bar's own menu tracking makes at a button's top-left corner opens nothing for
      // an item without sub-items: the item is clicked when the button is released.
      const POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
      TToolButton* b = ButtonAtPos(p);
      if (WithoutSubItems(b)) {
        const RECT r = ButtonRect(b);
        if (p.x == r.left && p.y == r.top) {
          m.Result = 0;
          return;
        }
      }
      break;
    }
    case WM_KEYUP:
      if (m.WParam == VK_RETURN) {
        // Enter on a hot top-level item without sub-items runs that item.
        std::vector<TMenuItem*> run;
        for (int i = 0; i < ButtonCount(); ++i)
          if (Buttons(i)->Tag() == kHotTag && WithoutSubItems(Buttons(i))) run.push_back(Buttons(i)->MenuItem());
        if (!run.empty()) {
          CancelMenu();
          for (TMenuItem* item : run)
            if (item->Enabled()) item->Click();
          m.Result = 0;
          return;
        }
      }
      break;
    case WM_SIZE: {
      TToolBar::WndProc(m);
      // Rows gained or lost by wrapping move the form's controls; the frame does it once the
      // layout in progress is done.
      if (FFrame && Height() != lastHeight_) {
        lastHeight_ = Height();
        FFrame->MenuBarResized();
      }
      return;
    }
    default:
      break;
  }
  TToolBar::WndProc(m);
}

bool TvexSkinMenuBar::DialogChar(wchar_t ch, bool alt) {
  if (!alt && !AnyHot()) return false;
  return TToolBar::DialogChar(ch, alt);
}

}  // namespace vex::engine
