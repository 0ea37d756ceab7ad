// Image lists: equal-sized images with masks, drawn enabled or greyed.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "host/bitmap.h"
#include "host/component.h"
#include "host/gdi_handle.h"

namespace vex::host {

class TImageList : public TComponent {
  VEX_CLASS(TImageList)
 public:
  explicit TImageList(TComponent* owner = nullptr, int width = 16, int height = 16);

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Changing the size empties the list.
  void SetSize(int width, int height);
  int Count() const;
  HIMAGELIST Handle() const { return list_.Get(); }

  // Adds an image (cut into several when it is a multiple of the width); with a mask bitmap its
  // black pixels are the visible ones. Returns the index of the first image added, -1 on failure.
  int Add(const TBitmap& image, const TBitmap* mask = nullptr);
  // Pixels of maskColor become transparent; with clNoColor none do.
  int AddMasked(const TBitmap& image, TColor maskColor);
  // Deletes one image, or all of them with -1.
  void Delete(int index);
  void Clear() { Delete(-1); }
  // Draws image `index` at (x, y); a disabled image is drawn greyed.
  void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;

 private:
  int width_, height_;
  TOwnedImageList list_;
};

}  // namespace vex::host
