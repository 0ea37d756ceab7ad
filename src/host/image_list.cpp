#include "host/image_list.h"

#include "host/prop_builder.h"

namespace vex::host {

const TClassInfo& TImageList::StaticClass() {
  static TClassInfo info("TImageList", &TComponent::StaticClass(), ComponentFactory<TImageList>);
  static const bool once = [] {
    TPropBuilder<TImageList> b(info);
    b.Integer("Height", [](const TImageList& l) { return l.Height(); }, [](TImageList& l, std::int64_t v) { l.SetSize(l.Width(), static_cast<int>(v)); });
    b.Integer("Width", [](const TImageList& l) { return l.Width(); }, [](TImageList& l, std::int64_t v) { l.SetSize(static_cast<int>(v), l.Height()); });
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

namespace {

void EnsureCommonControls() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)done;
}

TOwnedImageList MakeList(int w, int h) {
  EnsureCommonControls();
  return TOwnedImageList(ImageList_Create(w, h, ILC_COLOR24 | ILC_MASK, 4, 4));
}

}  // namespace

TImageList::TImageList(TComponent* owner, int width, int height)
    : TComponent(owner, StaticClass()), width_(width), height_(height), list_(MakeList(width, height)) {}

void TImageList::SetSize(int width, int height) {
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  list_ = MakeList(width, height);
}

int TImageList::Count() const { return list_ ? ImageList_GetImageCount(list_.Get()) : 0; }

int TImageList::Add(const TBitmap& image, const TBitmap* mask) {
  if (!list_ || image.Empty()) return -1;
  // ImageList_Add copies the bitmaps; they must not be selected into a context meanwhile, so copies
  // without canvases are handed over.
  TBitmap img;
  img.SetPixelFormat(TPixelFormat::pf24bit);
  img.Assign(image);
  img.SetPixelFormat(TPixelFormat::pf24bit);
  TBitmap msk;
  if (mask) {
    msk.Assign(*mask);
    msk.SetPixelFormat(TPixelFormat::pf24bit);
  }
  return ImageList_Add(list_.Get(), img.Handle(), mask ? msk.Handle() : nullptr);
}

int TImageList::AddMasked(const TBitmap& image, TColor maskColor) {
  if (!list_ || image.Empty()) return -1;
  if (IsNoColor(maskColor)) return Add(image);
  TBitmap img;
  img.Assign(image);
  img.SetPixelFormat(TPixelFormat::pf24bit);
  return ImageList_AddMasked(list_.Get(), img.Handle(), static_cast<COLORREF>(ColorToRGB(maskColor)));
}

void TImageList::Delete(int index) {
  if (list_) ImageList_Remove(list_.Get(), index);
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const {
  if (!list_ || index < 0 || index >= Count()) return;
  if (enabled) {
    ImageList_Draw(list_.Get(), index, canvas.Handle(), x, y, ILD_TRANSPARENT);
    return;
  }
  // Greyed: the image's visible pixels turned into light greys by their brightness, drawn through
  // the image's own mask.
  TBitmap face(width_, height_, TPixelFormat::pf32bit);
  TBitmap mask(width_, height_, TPixelFormat::pf32bit);
  ImageList_Draw(list_.Get(), index, face.Canvas().Handle(), 0, 0, ILD_NORMAL);
  ImageList_Draw(list_.Get(), index, mask.Canvas().Handle(), 0, 0, ILD_MASK);
  const TColor key = MakeRgb(255, 0, 255);
  for (int py = 0; py < height_; ++py)
    for (int px = 0; px < width_; ++px) {
      if (mask.PixelColor(px, py) != clBlack) {
        face.SetPixelColor(px, py, key);
        continue;
      }
      const TColor c = face.PixelColor(px, py);
      const int lum = (ColorRed(c) * 77 + ColorGreen(c) * 151 + ColorBlue(c) * 28) >> 8;
      const int g = 128 + lum / 2;
      face.SetPixelColor(px, py, MakeRgb(g, g, g == 255 ? 254 : g));
    }
  face.SetTransparentColor(key);
  face.SetTransparent(true);
  canvas.Draw(x, y, face);
}

}  // namespace vex::host
