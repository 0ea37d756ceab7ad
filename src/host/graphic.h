// Anything a canvas can draw: bitmaps and icons.
#pragma once

#include <windows.h>

#include "host/persistent.h"

namespace vex::host {

class TCanvas;

class TGraphic : public TPersistent {
  VEX_CLASS(TGraphic)
 public:
  explicit TGraphic(const TClassInfo& cls = StaticClass()) : TPersistent(cls) {}
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  bool Empty() const { return Width() <= 0 || Height() <= 0; }
  bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool on) { transparent_ = on; }
  // Draws the whole graphic stretched into r, honouring its transparency.
  virtual void Draw(TCanvas& canvas, const RECT& r) const = 0;

 protected:
  bool transparent_ = false;
};

}  // namespace vex::host
