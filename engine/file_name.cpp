#include "engine/file_name.h"

#include "engine/unicode.h"

namespace voziroz {

std::optional<SystemString> SystemFileName(std::string_view utf8) {
  if (HoldsNul(utf8)) return std::nullopt;
#ifdef _WIN32
  static_assert(sizeof(wchar_t) == sizeof(char16_t));
  const std::u16string wide = Utf8ToUtf16(utf8);
  return SystemString(wide.begin(), wide.end());
#else
  return SystemString(utf8);
#endif
}

}  // namespace voziroz
