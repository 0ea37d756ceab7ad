#include "image/image.h"

#include <stdexcept>

namespace vex::image {

TvexImage::TvexImage(int width, int height, std::uint32_t fill) {
  if (width < 0 || height < 0) throw std::invalid_argument("negative image size");
  width_ = width;
  height_ = height;
  pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill & 0x00FFFFFFu);
}

}  // namespace vex::image
