#include "skin2/default_skin.h"

#include <algorithm>
#include <cmath>

#include "image/image.h"
#include "skin2/archive_writer.h"
#include "skin2/skin_file_writer.h"
#include "skin2/skin_keys.h"

namespace vex::skin2 {
namespace {

using image::TvexImage;

// Pixel colours 0x00RRGGBB.
constexpr std::uint32_t kMagenta = 0xFF00FF;  // the transparent colour
constexpr std::uint32_t kTitleTop = 0x3C8CC8;
constexpr std::uint32_t kTitleBottom = 0x1F6794;
constexpr std::uint32_t kBorder = 0x1F6794;
constexpr std::uint32_t kFace = 0xE8E8E8;
constexpr std::uint32_t kEdge = 0x09206A;
constexpr std::uint32_t kWhite = 0xFFFFFF;

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, double t) {
  auto ch = [&](int s) {
    double x = ((a >> s) & 0xFF) * (1 - t) + ((b >> s) & 0xFF) * t;
    return static_cast<std::uint32_t>(std::lround(std::clamp(x, 0.0, 255.0))) << s;
  };
  return ch(16) | ch(8) | ch(0);
}

void Fill(TvexImage& img, int x0, int y0, int x1, int y1, std::uint32_t c) {
  for (int y = std::max(0, y0); y < std::min(img.Height(), y1); ++y)
    for (int x = std::max(0, x0); x < std::min(img.Width(), x1); ++x) img.SetPixel(x, y, c);
}

void Frame(TvexImage& img, int x0, int y0, int x1, int y1, std::uint32_t c) {
  Fill(img, x0, y0, x1, y0 + 1, c);
  Fill(img, x0, y1 - 1, x1, y1, c);
  Fill(img, x0, y0, x0 + 1, y1, c);
  Fill(img, x1 - 1, y0, x1, y1, c);
}

void VerticalGradient(TvexImage& img, int x0, int y0, int x1, int y1, std::uint32_t top, std::uint32_t bottom) {
  for (int y = y0; y < y1; ++y) {
    double t = y1 - y0 > 1 ? double(y - y0) / (y1 - y0 - 1) : 0;
    Fill(img, x0, y, x1, y + 1, Mix(top, bottom, t));
  }
}

TvexImage TitleSection(int w, int h = 31) {
  TvexImage img(w, h);
  VerticalGradient(img, 0, 0, w, h, kTitleTop, kTitleBottom);
  return img;
}

// Horizontal strips of `slices` equal states, each a framed gradient face.
TvexImage Strip(int w, int h, int slices, const std::uint32_t* faces) {
  TvexImage img(w, h, kMagenta);
  const int sw = w / slices;
  for (int s = 0; s < slices; ++s) {
    VerticalGradient(img, s * sw, 0, (s + 1) * sw, h, Mix(faces[s], kWhite, 0.4), faces[s]);
    Frame(img, s * sw, 0, (s + 1) * sw, h, kEdge);
  }
  return img;
}

}  // namespace

std::vector<std::uint8_t> BuildDefaultSkinFile() {
  TSkinFileWriter w;
  const std::int32_t colors[32] = {16711935, 16777215, 15263976, 15255700, 15255700, 9725727, 9725727, 16777215,
                                   7951126,  12227680, 12227680, 16775143, 7951126,  9725727, 9725727, 16777215,
                                   15263976, 15263976, 16507061, 6955017,  9791264,  16777215, 6955017, 0,
                                   0,        16382457, 16777215, 6955017,  0,        0,        16777215, 6955017};
  for (int i = 0; i < 32; ++i) w.AddInteger(kSkinKeys[kColorBase + i], colors[i]);

  const std::uint32_t buttonFaces[4] = {0xDDE6EE, 0xB5E0FB, 0x94C8E8, 0xD0D0D0};
  const std::uint32_t sixFaces[6] = {kWhite, 0xB5E0FB, kWhite, 0xB5E0FB, 0xD0D0D0, 0xD0D0D0};

  w.AddBitmap("SKIN2_TITLEBAR1", TitleSection(31));
  w.AddBitmap("SKIN2_TITLEBAR2", TitleSection(136));
  w.AddBitmap("SKIN2_TITLEBAR3", TitleSection(17));
  w.AddBitmap("SKIN2_TITLEBAR4", TitleSection(13));
  w.AddBitmap("SKIN2_TITLEBAR5", TitleSection(14));
  w.AddBitmap("SKIN2_FORMLEFTBORDER", TvexImage(5, 6, kBorder));
  w.AddBitmap("SKIN2_FORMRIGHTBORDER", TvexImage(5, 6, kBorder));
  w.AddBitmap("SKIN2_FORMBOTTOMBORDER1", TvexImage(180, 5, kBorder));
  w.AddBitmap("SKIN2_MINIMIZEDTITLE", TitleSection(160, 27));
  {
    TvexImage t(324, 18, kMagenta);
    for (int s = 0; s < 18; ++s) Frame(t, s * 18, 0, s * 18 + 18, 18, kEdge);
    w.AddBitmap("SKIN2_TITLEBUTTONS", t);
  }
  {
    TvexImage c(16, 16, kWhite);
    for (int i = 0; i < 5; ++i) Fill(c, 3 + i, 7 + i, 4 + i, 9 + i, kEdge);
    w.AddBitmap("SKIN2_CHECKEDMENUICON", c);
  }
  w.AddBitmap("SKIN2_BUTTON", Strip(252, 25, 3, buttonFaces));
  w.AddBitmap("SKIN2_CHECKBOX", Strip(102, 17, 6, sixFaces));
  w.AddBitmap("SKIN2_CHECKBOXLIST", Strip(44, 11, 4, sixFaces));
  w.AddBitmap("SKIN2_RADIOBUTTON", Strip(68, 17, 4, sixFaces));
  w.AddBitmap("SKIN2_PROGRESSBAR1", TvexImage(1, 13, kEdge));
  w.AddBitmap("SKIN2_PROGRESSBAR2", TvexImage(7, 13, 0x94C8E8));
  w.AddBitmap("SKIN2_PROGRESSBAR3", TvexImage(7, 13, 0x1F6794));
  w.AddBitmap("SKIN2_PROGRESSBAR4", TvexImage(1, 13, kEdge));
  w.AddBitmap("SKIN2_TRACKBAR", TvexImage(60, 8, kMagenta));
  w.AddBitmap("SKIN2_TRACKBARSLIDER", TvexImage(11, 21, 0x1F6794));
  w.AddBitmap("SKIN2_TRACKBARVSLIDER", TvexImage(21, 11, 0x1F6794));
  w.AddBitmap("SKIN2_SCROLLBARUPBUTTON", Strip(54, 18, 3, buttonFaces));
  w.AddBitmap("SKIN2_SCROLLBAR", TvexImage(18, 63, 0x94C8E8));
  w.AddBitmap("SKIN2_SCROLLBARDOWNBUTTON", Strip(54, 18, 3, buttonFaces));
  w.AddBitmap("SKIN2_TABCONTROL", Strip(60, 22, 2, buttonFaces));
  w.AddBitmap("SKIN2_TABCONTROLLINE", TvexImage(8, 1, kEdge));
  w.AddBitmap("SKIN2_SIDECHANNELBAR", TvexImage(7, 84, kFace));
  w.AddBitmap("SKIN2_SIDECHANNELTITLE", TvexImage(1, 21, kTitleBottom));
  w.AddBitmap("SKIN2_SCROLLBUTTON", Strip(80, 20, 4, buttonFaces));

  const std::int32_t positions[9] = {21, 9, 9, 7, 9, 0, 5, -1, -1};
  for (int i = 0; i < 9; ++i) w.AddInteger(kSkinKeys[kPositionBase + i], positions[i]);
  const std::uint8_t switchValues[9] = {1, 0, 1, 0, 0, 1, 0, 1, 0};
  for (int i = 0; i < 9; ++i) w.AddByte(kSkinKeys[kSwitchBase + i], switchValues[i]);
  w.AddInteger("SKIN2_SYSTEMCOLOR1", 15263976);
  w.AddInteger("SKIN2_SYSTEMCOLOR2", 6955017);
  return w.Build();
}

std::vector<std::uint8_t> BuildDefaultSkinArchive(const std::string& password) {
  TArchiveOptions o;
  o.password = password;
  return WriteSkinArchive(BuildDefaultSkinFile(), o);
}

}  // namespace vex::skin2
