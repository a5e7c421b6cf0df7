#include "engine/ansi_case.h"

#include "engine/unicode.h"

namespace voziroz {
namespace {

using CaseTable = std::array<char, 256>;

// `text` with every byte replaced by its entry in `table`.
std::string Mapped(std::string_view text, const CaseTable& table) {
  std::string out(text);
  for (char& c : out) c = table[static_cast<unsigned char>(c)];
  return out;
}

// A code point cased through the Windows-1252 byte that holds it.
char32_t MappedCodePoint(char32_t cp, const CaseTable& table) {
  const AnsiCodePage& page = Windows1252CodePage();
  if (cp >= page.bytes.size()) return cp;
  const auto byte = static_cast<unsigned char>(page.bytes[cp]);
  if (byte == '?' && cp != '?') return cp;
  return page.units[static_cast<unsigned char>(table[byte])];
}

// UTF-8 text cased character by character; malformed bytes stay as they are.
std::string MappedUtf8(std::string_view text, const CaseTable& table) {
  std::string out;
  out.reserve(text.size());
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = p + text.size();
  while (p < end) {
    if (*p < 0x80) {
      out += table[*p++];
      continue;
    }
    const Utf8Step step = NextUtf8(p, end);
    if (step.Valid)
      AppendUtf8(MappedCodePoint(step.CodePoint, table), out);
    else
      out.append(reinterpret_cast<const char*>(p), static_cast<std::size_t>(step.Length));
    p += step.Length;
  }
  return out;
}

char MappedByte(char c, CodePage page, const CaseTable& single_byte, const CaseTable& windows1252) {
  if (page == CodePage::SingleByte) return single_byte[static_cast<unsigned char>(c)];
  return static_cast<unsigned char>(c) < 0x80 ? windows1252[static_cast<unsigned char>(c)] : c;
}

}  // namespace

char AnsiUpper(char c, CodePage page) {
  return MappedByte(c, page, TheAnsiCodePage().upper, Windows1252CodePage().upper);
}

char AnsiLower(char c, CodePage page) {
  return MappedByte(c, page, TheAnsiCodePage().lower, Windows1252CodePage().lower);
}

std::string AnsiUpperCase(std::string_view text, CodePage page) {
  if (page == CodePage::Utf8) return MappedUtf8(text, Windows1252CodePage().upper);
  return Mapped(text, TheAnsiCodePage().upper);
}

std::string AnsiLowerCase(std::string_view text, CodePage page) {
  if (page == CodePage::Utf8) return MappedUtf8(text, Windows1252CodePage().lower);
  return Mapped(text, TheAnsiCodePage().lower);
}

char32_t Windows1252Upper(char32_t code_point) {
  return MappedCodePoint(code_point, Windows1252CodePage().upper);
}

}  // namespace voziroz
