#include "automation/script_text.h"

#include <algorithm>

#include "engine/unicode.h"
#include "engine/windows1252.h"

namespace voziroz {
namespace {

bool IsAscii(std::u16string_view utf16) {
  return std::all_of(utf16.begin(), utf16.end(), [](char16_t unit) { return unit < 0x80; });
}

}  // namespace

Variant ScriptText(std::u16string_view utf16) {
  std::string text = Utf16ToAnsi(utf16);
  // ASCII is the same in every code page; other text is kept whole when it does not come back.
  if (IsAscii(utf16) || AnsiToUtf16(text) == utf16) return Variant::Text(std::move(text));
  return Variant::Text(std::move(text), Utf16ToUtf8(utf16));
}

Conversion TryToFileName(const Variant& value, std::string& utf8) {
  if (const std::string* exact = value.ExactUtf8()) {
    utf8 = *exact;
    return Conversion::Ok;
  }
  std::string text;
  const Conversion result = TryToText(value, text);
  if (result == Conversion::Ok) utf8 = AnsiToUtf8(text);
  return result;
}

std::string ToFileName(const Variant& value) {
  if (const std::string* exact = value.ExactUtf8()) return *exact;
  return AnsiToUtf8(ToText(value));
}

}  // namespace voziroz
