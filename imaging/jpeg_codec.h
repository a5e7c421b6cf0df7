// JPEG decoding and encoding for the thumbnailer, over libjpeg's version 62 (6b) interface and
// stdio streams. libjpeg's errors never end the process: each one unwinds back to these
// functions and is thrown from them.
//
// Errors: std::runtime_error with libjpeg's message for a stream that is not a decodable JPEG,
// for data that ends before the image does, and for a failed write; std::bad_alloc when memory
// runs out. The streams stay open and belong to the caller.
#pragma once

#include <cstdint>
#include <cstdio>

#include "imaging/bitmap.h"

namespace voziroz {

// The largest side a JPEG image may have in this library.
inline constexpr std::int32_t kMaxJpegSide = 65500;

// The largest source decoded: 2^27 pixels (128 megapixels, more than any camera makes). A header
// that claims more is refused before the decoder sets memory aside for it.
inline constexpr std::int64_t kMaxSourcePixels = std::int64_t{1} << 27;

// libjpeg's own memory limit (max_memory_to_use) for decoding and encoding: enough for the
// whole-image coefficient buffers of a progressive source of kMaxSourcePixels in full colour.
inline constexpr long kMaxCodecMemory = 1L << 30;

// Decodes the JPEG read from `source` at full size, with block smoothing and the accurate
// integer DCT, into 24-bit pixels. A grayscale source goes through libjpeg's colour quantiser
// to 236 grey levels (an 8-bit palette image) before it is widened to 24 bits. Nothing but the
// stream's content decides whether it is a JPEG. A source above kMaxSourcePixels throws
// std::runtime_error "Image is too large: W x H pixels" once its header is read.
Bitmap DecodeJpeg(std::FILE* source);

// Writes `image` (not empty, sides up to kMaxJpegSide) to `target` as a colour JPEG: libjpeg's
// default settings, quality 90 with baseline-compatible quantisation tables, and progressive
// with libjpeg's simple progression script.
void EncodeJpeg(const Bitmap& image, std::FILE* target);

}  // namespace voziroz
