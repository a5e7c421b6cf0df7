#include "engine/unicode.h"

namespace voziroz {

void AppendUtf8(char32_t code_point, std::string& out) {
  char bytes[4];
  out.append(bytes, PutUtf8(code_point, bytes));
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const auto* end = p + utf8.size();
  while (p < end) {
    const Utf8Step step = NextUtf8(p, end);
    p += step.Length;
    if (step.CodePoint < 0x10000) {
      out += static_cast<char16_t>(step.CodePoint);
    } else {
      const char32_t v = step.CodePoint - 0x10000;
      out += static_cast<char16_t>(0xD800 + (v >> 10));
      out += static_cast<char16_t>(0xDC00 + (v & 0x3FF));
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out(3 * utf16.size(), '\0');
  char* end = PutUtf16AsUtf8(
      utf16.size(), [&](std::size_t i) { return utf16[i]; }, false, out.data());
  out.resize(static_cast<std::size_t>(end - out.data()));
  return out;
}

}  // namespace voziroz
