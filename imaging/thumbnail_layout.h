// Thumbnail layout: the canvas size and the rectangle the scaled image takes on it, worked out
// from the source's size and the requested box alone.
//
// Errors: a rounded value that does not fit a 32-bit signed integer throws std::range_error
// with the message "Range check error"; a negative requested side throws std::invalid_argument.
#pragma once

#include <cstdint>

#include "imaging/bitmap.h"

namespace voziroz {

struct ThumbnailLayout {
  std::int32_t width = 0;  // canvas size; 0 on either side means nothing is drawn or encoded
  std::int32_t height = 0;
  Rect image;  // may overhang the canvas, by equal amounts (up to one pixel) at both edges
};

// `value` brought to the nearest integer, halves to the even neighbour (36.5 -> 36, 37.5 -> 38).
std::int32_t RoundHalfToEven(double value);

// Requires source_width and source_height > 0. A requested side of 0 is derived from the other
// through the source's aspect ratio r (both 0 stay 0). A wide source (r > 1) is drawn across
// the full width and centred vertically; a square or tall one down the full height and
// centred horizontally, so an image that does not fit that way overhangs and is cut off.
ThumbnailLayout LayOutThumbnail(std::int32_t source_width, std::int32_t source_height,
                                std::int32_t width, std::int32_t height);

}  // namespace voziroz
