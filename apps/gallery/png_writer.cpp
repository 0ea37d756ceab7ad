#include "png_writer.h"

#include <zlib.h>

#include <cstdio>
#include <vector>

#include "host/gdi_handle.h"

namespace vex::gallery {
namespace {

void Put32(std::vector<unsigned char>& v, unsigned x) {
  v.push_back(static_cast<unsigned char>(x >> 24));
  v.push_back(static_cast<unsigned char>(x >> 16));
  v.push_back(static_cast<unsigned char>(x >> 8));
  v.push_back(static_cast<unsigned char>(x));
}

void Chunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data) {
  Put32(out, static_cast<unsigned>(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  Put32(out, static_cast<unsigned>(crc32(0, out.data() + start, static_cast<uInt>(out.size() - start))));
}

}  // namespace

bool SaveScreenRect(const RECT& r, const std::wstring& path) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return false;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  host::TOwnedBitmap dib(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dib) return false;
  {
    host::TWindowDC screen(nullptr, host::TWindowDC::TKind::Client);
    host::TOwnedDC mem(CreateCompatibleDC(screen.Get()));
    host::TSelectObject sel(mem.Get(), dib.Get());
    BitBlt(mem.Get(), 0, 0, w, h, screen.Get(), r.left, r.top, SRCCOPY);
  }
  GdiFlush();
  std::vector<unsigned char> raw;
  raw.reserve(static_cast<std::size_t>(h) * (w * 3 + 1));
  const auto* px = static_cast<const unsigned char*>(bits);
  for (int y = 0; y < h; ++y) {
    raw.push_back(0);
    for (int x = 0; x < w; ++x) {
      const unsigned char* p = px + (static_cast<std::size_t>(y) * w + x) * 4;
      raw.push_back(p[2]);
      raw.push_back(p[1]);
      raw.push_back(p[0]);
    }
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<unsigned char> packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 6) != Z_OK) return false;
  packed.resize(packedSize);
  std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<unsigned char> ihdr;
  Put32(ihdr, static_cast<unsigned>(w));
  Put32(ihdr, static_cast<unsigned>(h));
  ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
  Chunk(png, "IHDR", ihdr);
  Chunk(png, "IDAT", packed);
  Chunk(png, "IEND", {});
  FILE* f = _wfopen(path.c_str(), L"wb");
  if (!f) return false;
  const bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace vex::gallery
