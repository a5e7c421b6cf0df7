// Fuzzes AnselToUtf8 on arbitrary bytes: the result must be valid UTF-8, at most three bytes
// per input byte (the longest character a byte or a mark becomes), and text without bytes of
// 0x80 and above must come back as it is.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/ansel.h"
#include "engine/windows1252.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view ansel(reinterpret_cast<const char*>(data), size);
  const voziroz::TextBuffer utf8 = voziroz::AnselToUtf8(ansel);
  Require(voziroz::IsValidUtf8(utf8.view()));
  Require(utf8.size() <= 3 * size);
  if (std::all_of(data, data + size, [](std::uint8_t b) { return b < 0x80; }))
    Require(utf8.view() == ansel);
  return 0;
}
