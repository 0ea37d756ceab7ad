#include "host/icon.h"

#include "host/canvas.h"

namespace vex::host {

const TClassInfo& TIcon::StaticClass() {
  static const TClassInfo info("TIcon", &TGraphic::StaticClass());
  return info;
}

void TIcon::SetHandle(HICON icon) {
  icon_ = TOwnedIcon(icon);
  width_ = height_ = 0;
  ICONINFO ii{};
  if (icon && GetIconInfo(icon, &ii)) {
    BITMAP b{};
    GetObjectW(ii.hbmColor ? ii.hbmColor : ii.hbmMask, sizeof b, &b);
    width_ = b.bmWidth;
    height_ = ii.hbmColor ? b.bmHeight : b.bmHeight / 2;
    if (ii.hbmColor) DeleteObject(ii.hbmColor);
    if (ii.hbmMask) DeleteObject(ii.hbmMask);
  }
}

bool TIcon::LoadFromResourceName(HINSTANCE instance, const wchar_t* name, int width, int height) {
  HICON icon = static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, width, height, width ? 0 : LR_DEFAULTSIZE));
  if (!icon) return false;
  SetHandle(icon);
  return true;
}

void TIcon::Assign(const TPersistent& source) {
  if (!source.Is<TIcon>()) return TPersistent::Assign(source);
  const auto& src = static_cast<const TIcon&>(source);
  if (&src == this) return;
  SetHandle(src.icon_ ? CopyIcon(src.icon_.Get()) : nullptr);
}

void TIcon::Draw(TCanvas& canvas, const RECT& r) const {
  if (icon_) DrawIconEx(canvas.Handle(), r.left, r.top, icon_.Get(), r.right - r.left, r.bottom - r.top, 0, nullptr, DI_NORMAL);
}

}  // namespace vex::host
