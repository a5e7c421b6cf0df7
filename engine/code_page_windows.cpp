// The system's ANSI code page, read from the platform's own conversions and case rules, when no
// code page is asked for.
#include <windows.h>

#include <memory>

#include "engine/code_page.h"

namespace voziroz {
namespace {

constexpr int kUnits = 0x10000;

bool IsSurrogate(int unit) {
  return unit >= 0xD800 && unit <= 0xDFFF;
}

// The bytes of every UTF-16 unit but the surrogates, converted at once; a unit the code page does
// not hold becomes '?' rather than a look-alike ("best fit") letter.
bool ReadBytes(AnsiCodePage& page) {
  auto units = std::make_unique<wchar_t[]>(kUnits);
  int count = 0;
  for (int unit = 0; unit < kUnits; ++unit)
    if (!IsSurrogate(unit)) units[count++] = static_cast<wchar_t>(unit);
  auto bytes = std::make_unique<char[]>(kUnits);
  if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, units.get(), count, bytes.get(), count, "?",
                          nullptr) != count)
    return false;
  page.bytes.fill('?');
  for (int i = 0; i < count; ++i) page.bytes[units[i]] = bytes[i];
  return true;
}

bool ReadUnits(AnsiCodePage& page) {
  char bytes[256];
  for (int b = 0; b < 256; ++b) bytes[b] = static_cast<char>(b);
  wchar_t units[256];
  if (MultiByteToWideChar(CP_ACP, 0, bytes, 256, units, 256) != 256) return false;
  for (int b = 0; b < 256; ++b) page.units[b] = static_cast<char16_t>(units[b]);
  return true;
}

// The byte of `unit`, or `fallback` when the code page has none.
char ByteOr(const AnsiCodePage& page, wchar_t unit, int fallback) {
  const char byte = page.bytes[unit];
  return byte == '?' && unit != L'?' ? static_cast<char>(fallback) : byte;
}

// Each byte's character cased by the platform's rules; a letter whose other case the code page
// cannot hold stays as it is.
void ReadCases(AnsiCodePage& page) {
  for (int b = 0; b < 256; ++b) {
    wchar_t upper = static_cast<wchar_t>(page.units[b]);
    wchar_t lower = upper;
    CharUpperBuffW(&upper, 1);
    CharLowerBuffW(&lower, 1);
    page.upper[b] = ByteOr(page, upper, b);
    page.lower[b] = ByteOr(page, lower, b);
  }
}

AnsiCodePage SystemCodePage() {
  CPINFO info{};
  auto page = std::make_unique<AnsiCodePage>();
  if (!GetCPInfo(CP_ACP, &info) || info.MaxCharSize != 1 || !ReadUnits(*page) || !ReadBytes(*page))
    return Windows1252CodePage();
  ReadCases(*page);
  return *page;
}

}  // namespace

CodePage TheCodePage() {
  static const CodePage page =
      TheCodePageSetting() == CodePageSetting::Utf8 ||
              (TheCodePageSetting() == CodePageSetting::Unset && GetACP() == CP_UTF8)
          ? CodePage::Utf8
          : CodePage::SingleByte;
  return page;
}

const AnsiCodePage& TheAnsiCodePage() {
  if (TheCodePageSetting() != CodePageSetting::Unset) return Windows1252CodePage();
  static const AnsiCodePage page = SystemCodePage();
  return page;
}

}  // namespace voziroz
