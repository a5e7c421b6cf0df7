#include "imaging/bitmap.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace voziroz {
namespace {

// The source index under the centre of target index i when `target_size` target pixels cover
// `source_size` source pixels: floor((i + 1/2) * source_size / target_size).
std::int64_t SourceIndex(std::int64_t i, std::int64_t source_size, std::int64_t target_size) {
  return (2 * i + 1) * source_size / (2 * target_size);
}

}  // namespace

Bitmap::Bitmap(std::int32_t width, std::int32_t height)
    : width_(width), height_(height), stride_(static_cast<std::size_t>(width) * kBytesPerPixel) {
  if (width < 0 || height < 0) throw std::invalid_argument("Bitmap size must not be negative");
  // Not value-initialised: large blocks come from the system untouched and stay uncommitted
  // until written.
  pixels_.reset(new std::uint8_t[stride_ * static_cast<std::size_t>(height)]);
}

void Bitmap::Fill(Rgb color) {
  if (empty()) return;
  std::uint8_t* first = Row(0);
  for (std::int32_t x = 0; x < width_; ++x) {
    first[x * kBytesPerPixel] = color.red;
    first[x * kBytesPerPixel + 1] = color.green;
    first[x * kBytesPerPixel + 2] = color.blue;
  }
  for (std::int32_t y = 1; y < height_; ++y) std::memcpy(Row(y), first, stride_);
}

void Bitmap::StretchFrom(const Bitmap& source, const Rect& target) {
  if (source.empty() || target.width <= 0 || target.height <= 0) return;
  const std::int64_t x_begin = std::max<std::int64_t>(target.left, 0);
  const std::int64_t x_end = std::min<std::int64_t>(target.left + target.width, width_);
  const std::int64_t y_begin = std::max<std::int64_t>(target.top, 0);
  const std::int64_t y_end = std::min<std::int64_t>(target.top + target.height, height_);
  if (x_begin >= x_end || y_begin >= y_end) return;

  // Byte offset in a source row of the pixel each visible target column takes.
  std::vector<std::size_t> source_offsets(static_cast<std::size_t>(x_end - x_begin));
  for (std::int64_t x = x_begin; x < x_end; ++x) {
    const std::int64_t column = SourceIndex(x - target.left, source.width_, target.width);
    source_offsets[x - x_begin] = static_cast<std::size_t>(column) * kBytesPerPixel;
  }

  const std::size_t span = source_offsets.size() * kBytesPerPixel;
  std::int64_t previous_source_row = -1;
  for (std::int64_t y = y_begin; y < y_end; ++y) {
    const std::int64_t source_row = SourceIndex(y - target.top, source.height_, target.height);
    std::uint8_t* out = Row(static_cast<std::int32_t>(y)) + x_begin * kBytesPerPixel;
    if (source_row == previous_source_row) {
      std::memcpy(out, out - stride_, span);  // a repeated row: copy the one just drawn
      continue;
    }
    const std::uint8_t* in = source.Row(static_cast<std::int32_t>(source_row));
    for (std::size_t offset : source_offsets) {
      std::memcpy(out, in + offset, kBytesPerPixel);
      out += kBytesPerPixel;
    }
    previous_source_row = source_row;
  }
}

}  // namespace voziroz
