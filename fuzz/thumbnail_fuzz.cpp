// Fuzzes the thumbnailer on arbitrary bytes as the JPEG source. The first four bytes choose the
// box (sides of 0 to 255, so derived sides and the canvas limit still come into play) and the
// fill colour; the rest is the source. Every call must end in a thumbnail or in one of the
// thumbnailer's errors (std::runtime_error); the source and canvas limits keep memory bounded.
#include <stdio.h>

#include <cstdint>
#include <cstdlib>
#include <stdexcept>

#include "imaging/thumbnail.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 5) return 0;
  static std::FILE* const target = std::fopen("/dev/null", "wb");
  std::FILE* source = fmemopen(const_cast<std::uint8_t*>(data + 4), size - 4, "rb");
  if (source == nullptr || target == nullptr) std::abort();
  const std::int32_t fill = data[2] << 16 | data[3];
  try {
    voziroz::ScaleJpeg(source, target, data[0], data[1], fill);
  } catch (const std::runtime_error&) {
    // Not a decodable JPEG, or a size beyond a limit.
  }
  std::fclose(source);
  return 0;
}
