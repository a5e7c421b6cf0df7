// JPEG thumbnails: a JPEG file scaled to fit a box by its longer side, centred on a canvas of a
// solid fill colour, and written as a progressive JPEG of quality 90.
//
// Sizes: a side of 0 is derived from the other through the source's aspect ratio r = width /
// height, rounded half to even; both 0 give an empty canvas, for which nothing is encoded. A
// wide source (r > 1) spans the full width and is centred vertically; a square or tall one spans
// the full height and is centred horizontally. The box's own shape is not considered, so an
// image that does not fit that way overhangs the canvas equally at both edges and is cut off.
// The source is scaled by dropping or repeating whole rows and columns.
//
// Limits: a source above kMaxSourcePixels (jpeg_codec.h) is refused once its header is read, a
// canvas above kMaxThumbnailPixels before it is made.
//
// Fill colour: 0xRRGGBB (red in bits 16-23, blue in bits 0-7); bits 24-31 are ignored.
//
// Every call has its own decoder, canvas and files, so calls on different threads are safe.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace voziroz {

// The largest canvas drawn: 2^26 pixels (192 MiB of pixels).
inline constexpr std::int64_t kMaxThumbnailPixels = std::int64_t{1} << 26;

// Decodes the JPEG read from `source`, draws it as above and writes the thumbnail to `target`
// (nothing for an empty canvas). Both streams stay open and belong to the caller.
// Throws std::invalid_argument for a negative width or height (before reading anything),
// std::runtime_error with libjpeg's message when the source is not a decodable JPEG or the
// write fails, or with "Image is too large: W x H pixels" ("Thumbnail is too large: ...") for a
// source (a canvas) above its limit, std::range_error "Range check error" when a derived size does
// not fit 32 bits, and std::bad_alloc.
void ScaleJpeg(std::FILE* source, std::FILE* target, std::int32_t width, std::int32_t height,
               std::int32_t fill_color);

// Makes a thumbnail of the JPEG file `source_filename` in `target_filename` (both UTF-8 names,
// engine/file_name.h). Returns true when the thumbnail was written, false on any
// failure; it never throws. What happens to the files:
// - a negative width or height, a name holding a NUL byte, a source that cannot be opened for
//   reading (missing, no access, or no regular file: a folder, a device, a pipe), or a target
//   that is no regular file or names the source file: false, and the target is not touched;
// - otherwise the target is created or truncated before the source is decoded, so a source that
//   is not a decodable JPEG leaves an empty target; nothing is removed on failure;
// - width 0 and height 0 (with a decodable source) leave an empty target and give true.
bool CreateThumbnail(const std::string& source_filename, const std::string& target_filename,
                     std::int32_t width, std::int32_t height, std::int32_t fill_color);

}  // namespace voziroz
