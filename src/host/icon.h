// Icons: an owned HICON drawn at its size or stretched.
#pragma once

#include <windows.h>

#include "host/gdi_handle.h"
#include "host/graphic.h"

namespace vex::host {

class TIcon : public TGraphic {
  VEX_CLASS(TIcon)
 public:
  TIcon() : TGraphic(StaticClass()) { transparent_ = true; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  HICON Handle() const { return icon_.Get(); }
  // Takes ownership of the icon.
  void SetHandle(HICON icon);
  // An icon resource of the module at the given size; false when absent.
  bool LoadFromResourceName(HINSTANCE instance, const wchar_t* name, int width = 0, int height = 0);
  void Assign(const TPersistent& source) override;
  void Draw(TCanvas& canvas, const RECT& r) const override;

 private:
  TOwnedIcon icon_;
  int width_ = 0, height_ = 0;
};

}  // namespace vex::host
