// Bitmap: a 24-bit raster in memory, the drawing surface of the thumbnailer. It offers what the
// thumbnailer needs and nothing more: a canvas of a given size, a solid fill, a nearest-neighbour
// stretch with clipping, and packed rows of red, green and blue bytes for the JPEG encoder.
//
// Pixels are stored top row first, three bytes a pixel (R, G, B), rows packed without padding.
// A new bitmap's pixels are undefined until filled or drawn; memory is committed as rows are
// written, so a bitmap that is dropped half-drawn costs only what was touched.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace voziroz {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
};

// A rectangle in pixels; it may reach outside the bitmap it is drawn on.
struct Rect {
  std::int64_t left = 0;
  std::int64_t top = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;
};

class Bitmap {
 public:
  static constexpr std::size_t kBytesPerPixel = 3;

  // A width x height bitmap. Throws std::invalid_argument for a negative side and
  // std::bad_alloc when the memory cannot be had. Either side may be 0 (an empty bitmap).
  Bitmap(std::int32_t width, std::int32_t height);

  std::int32_t width() const { return width_; }
  std::int32_t height() const { return height_; }
  bool empty() const { return width_ == 0 || height_ == 0; }

  void Fill(Rgb color);

  // Draws all of `source` into `target`, scaled by repeating or dropping whole rows and columns
  // (each target pixel takes the source pixel under its centre; no averaging). Parts of
  // `target` outside this bitmap are clipped; pixels outside `target` are left as they are.
  void StretchFrom(const Bitmap& source, const Rect& target);

  // Row y (0 <= y < height()): width() * 3 bytes, R, G, B per pixel.
  std::uint8_t* Row(std::int32_t y) {
    return pixels_.get() + static_cast<std::size_t>(y) * stride_;
  }
  const std::uint8_t* Row(std::int32_t y) const {
    return pixels_.get() + static_cast<std::size_t>(y) * stride_;
  }

 private:
  std::int32_t width_;
  std::int32_t height_;
  std::size_t stride_;
  std::unique_ptr<std::uint8_t[]> pixels_;
};

}  // namespace voziroz
