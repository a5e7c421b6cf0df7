#include "imaging/thumbnail.h"

#include <memory>
#include <new>
#include <stdexcept>
#include <string>

#include "imaging/bitmap.h"
#include "imaging/file_access.h"
#include "imaging/jpeg_codec.h"
#include "imaging/thumbnail_layout.h"

namespace voziroz {
namespace {

Rgb ColorFromRrggbb(std::int32_t fill_color) {
  const auto bits = static_cast<std::uint32_t>(fill_color);
  return Rgb{static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 8),
             static_cast<std::uint8_t>(bits)};
}

// The canvas with the source drawn on it; the decoded source is released on return, before
// the canvas is encoded.
Bitmap DrawThumbnail(std::FILE* source, std::int32_t width, std::int32_t height,
                     std::int32_t fill_color) {
  const Bitmap picture = DecodeJpeg(source);
  const ThumbnailLayout layout = LayOutThumbnail(picture.width(), picture.height(), width, height);
  if (layout.width > kMaxJpegSide || layout.height > kMaxJpegSide) {
    // Checked before the canvas is made: the encoder would refuse it only after a fill.
    throw std::runtime_error("Maximum supported image dimension is 65500 pixels");
  }
  if (std::int64_t{layout.width} * layout.height > kMaxThumbnailPixels) {
    throw std::runtime_error("Thumbnail is too large: " + std::to_string(layout.width) + " x " +
                             std::to_string(layout.height) + " pixels");
  }
  Bitmap canvas(layout.width, layout.height);
  canvas.Fill(ColorFromRrggbb(fill_color));
  canvas.StretchFrom(picture, layout.image);
  return canvas;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

void ScaleJpeg(std::FILE* source, std::FILE* target, std::int32_t width, std::int32_t height,
               std::int32_t fill_color) {
  if (width < 0 || height < 0) {
    throw std::invalid_argument("Thumbnail width and height must not be negative");
  }
  const Bitmap canvas = DrawThumbnail(source, width, height, fill_color);
  if (!canvas.empty()) EncodeJpeg(canvas, target);
}

bool CreateThumbnail(const std::string& source_filename, const std::string& target_filename,
                     std::int32_t width, std::int32_t height, std::int32_t fill_color) {
  if (width < 0 || height < 0) return false;
  FilePtr source;
  std::FILE* target = nullptr;
  try {
    source.reset(OpenSource(source_filename));
    if (source) target = OpenTarget(target_filename, source.get());
  } catch (const std::bad_alloc&) {
    return false;  // no memory for the system's form of a name
  }
  if (target == nullptr) return false;
  bool written = true;
  try {
    ScaleJpeg(source.get(), target, width, height, fill_color);
  } catch (...) {
    written = false;
  }
  if (std::fclose(target) != 0) written = false;  // a write that only fails on the last flush
  return written;
}

}  // namespace voziroz
