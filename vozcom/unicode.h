// UTF-8 and UTF-16 conversions of the C interface. Malformed input never fails: a byte that does
// not start a valid UTF-8 sequence, and a lone surrogate, become U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace voziroz {

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace voziroz
