// The multiple-document parts of the form frame: the client window's procedure, cascade and
// tile, the control buttons of a maximized child, the window menu, the messages between a child
// and its frame form.
#include "engine/skin_window_vcl.h"

namespace vex::engine {

using namespace vex::host;

void TvexSkinWindowVCL::AttachMDI() {}
void TvexSkinWindowVCL::DetachMDI() {}
void TvexSkinWindowVCL::UpdateMDISkinState() {}
void TvexSkinWindowVCL::AfterMDIMessage(TMessage&) {}
LRESULT CALLBACK TvexSkinWindowVCL::ClientWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(wnd, msg, wParam, lParam);
}
void TvexSkinWindowVCL::PlaceMDIButtons() {}
void TvexSkinWindowVCL::ShowMDIButtons() {}
void TvexSkinWindowVCL::HideMDIButtons() {}
void TvexSkinWindowVCL::MDIButtonClick(TObject*) {}
void TvexSkinWindowVCL::UpdateWindowMenu() {}
void TvexSkinWindowVCL::WindowItemClick(TObject*) {}
void TvexSkinWindowVCL::Cascade() {}
void TvexSkinWindowVCL::Tile(bool) {}

}  // namespace vex::engine
