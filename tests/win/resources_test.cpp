// The program's resources as a Windows program sees them.
#include <windows.h>

#include <gtest/gtest.h>

namespace {

struct TBitmapInfo {
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;  // top-down
};

TBitmapInfo LoadResourceBitmap(const wchar_t* name) {
  TBitmapInfo info;
  HBITMAP bmp = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bmp) return info;
  BITMAP b{};
  GetObjectW(bmp, sizeof b, &b);
  info.width = b.bmWidth;
  info.height = b.bmHeight;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bmp);
  for (int y = 0; y < info.height; ++y)
    for (int x = 0; x < info.width; ++x) info.pixels.push_back(GetPixel(dc, x, y));
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bmp);
  return info;
}

TEST(ProgramResources, MenuCheckMarkOnWhite) {
  TBitmapInfo b = LoadResourceBitmap(L"VEXSKIN_MENU_CHECKED");
  ASSERT_EQ(b.width, 16);
  ASSERT_EQ(b.height, 16);
  int dark = 0, white = 0;
  for (COLORREF c : b.pixels) {
    dark += GetRValue(c) < 80 && GetGValue(c) < 80 && GetBValue(c) < 80;
    white += c == RGB(255, 255, 255);
  }
  EXPECT_GT(dark, 12);
  EXPECT_GT(white, 180);
  EXPECT_EQ(b.pixels[0], RGB(255, 255, 255));
}

TEST(ProgramResources, MdiGlyphsAreThreeSixteenPixelCells) {
  TBitmapInfo b = LoadResourceBitmap(L"VEXSKIN_MDI_CONTROLER");
  ASSERT_EQ(b.width, 48);
  ASSERT_EQ(b.height, 16);
  const COLORREF ground = b.pixels[15 * 48];  // bottom-left: the automatic transparent colour
  EXPECT_EQ(ground, RGB(255, 0, 255));
  for (int cell = 0; cell < 3; ++cell) {
    int ink = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = cell * 16; x < cell * 16 + 16; ++x) ink += b.pixels[y * 48 + x] == RGB(0, 0, 0);
    EXPECT_GT(ink, 10) << "cell " << cell;
  }
  // Minimize is a bar along the bottom; the close glyph crosses its cell's centre.
  EXPECT_EQ(b.pixels[12 * 48 + 8], RGB(0, 0, 0));
  EXPECT_EQ(b.pixels[3 * 48 + 8], RGB(255, 0, 255));
  EXPECT_EQ(b.pixels[8 * 48 + 40], RGB(0, 0, 0));
}

TEST(ProgramResources, MainIconInBothSizes) {
  for (int size : {16, 32}) {
    HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr) << size;
    ICONINFO ii{};
    ASSERT_TRUE(GetIconInfo(icon, &ii));
    BITMAP b{};
    GetObjectW(ii.hbmColor, sizeof b, &b);
    EXPECT_EQ(b.bmWidth, size);
    EXPECT_EQ(b.bmHeight, size);
    DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    DestroyIcon(icon);
  }
}

}  // namespace
