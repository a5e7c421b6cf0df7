#include "engine/unicode.h"

namespace voziroz {
namespace {

bool IsHighSurrogate(char32_t u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char32_t u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

}  // namespace

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
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    char32_t u = utf16[i];
    if (IsHighSurrogate(u) && i + 1 < utf16.size() && IsLowSurrogate(utf16[i + 1])) {
      u = 0x10000 + ((u - 0xD800) << 10) + (utf16[++i] - 0xDC00);
    } else if (IsHighSurrogate(u) || IsLowSurrogate(u)) {
      u = kReplacementCharacter;
    }
    AppendUtf8(u, out);
  }
  return out;
}

}  // namespace voziroz
