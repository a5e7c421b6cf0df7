#include "engine/code_page.h"

#include <cstdlib>
#include <string_view>

namespace voziroz {
namespace {

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
    if (x != b[i]) return false;
  }
  return true;
}

}  // namespace

CodePageSetting ReadCodePageSetting(const char* value) {
  if (value == nullptr) return CodePageSetting::Unset;
  const std::string_view text(value);
  if (text.empty() || text == "1252") return CodePageSetting::Windows1252;
  if (text == "65001" || EqualIgnoringAsciiCase(text, "utf-8")) return CodePageSetting::Utf8;
  return CodePageSetting::Invalid;
}

CodePageSetting TheCodePageSetting() {
  static const CodePageSetting setting = ReadCodePageSetting(std::getenv(kCodePageVariable));
  return setting;
}

}  // namespace voziroz
