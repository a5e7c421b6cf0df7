#include "imaging/thumbnail_layout.h"

#include <cmath>
#include <limits>
#include <stdexcept>

namespace voziroz {

std::int32_t RoundHalfToEven(double value) {
  // nearbyint rounds halves to even in the default rounding mode.
  const double rounded = std::nearbyint(value);
  if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
        rounded <= std::numeric_limits<std::int32_t>::max())) {
    throw std::range_error("Range check error");
  }
  return static_cast<std::int32_t>(rounded);
}

ThumbnailLayout LayOutThumbnail(std::int32_t source_width, std::int32_t source_height,
                                std::int32_t width, std::int32_t height) {
  if (width < 0 || height < 0) {
    throw std::invalid_argument("Thumbnail width and height must not be negative");
  }
  const double ratio = static_cast<double>(source_width) / source_height;
  if (width == 0 && height != 0) {
    width = RoundHalfToEven(height * ratio);
  } else if (height == 0 && width != 0) {
    height = RoundHalfToEven(width / ratio);
  }

  ThumbnailLayout layout;
  layout.width = width;
  layout.height = height;
  Rect& image = layout.image;
  if (ratio > 1.0) {
    image.width = width;
    image.height = RoundHalfToEven(width / ratio);
    image.top = (std::int64_t{height} - image.height) / 2;  // truncates toward zero
  } else {
    image.height = height;
    image.width = RoundHalfToEven(height * ratio);
    image.left = (std::int64_t{width} - image.width) / 2;
  }
  return layout;
}

}  // namespace voziroz
