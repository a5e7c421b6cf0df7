// File names on their way to the operating system. Inside, a file name is UTF-8 text: the exact
// string a script gave (automation/script_text.h), or a command-line argument as it came. At the
// system call it takes the platform's own form: the same bytes on Linux, UTF-16 for the wide (W)
// entry points on Windows, so a name means the same whatever the engine's code page.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace voziroz {

#ifdef _WIN32
using SystemChar = wchar_t;
#else
using SystemChar = char;
#endif
using SystemString = std::basic_string<SystemChar>;

// True when `name` holds NUL: the system would read it as a shorter name of another file, so every
// file function refuses it.
inline bool HoldsNul(std::string_view name) {
  return name.find('\0') != std::string_view::npos;
}

// The system's form of the UTF-8 name `utf8`; empty for a name holding NUL. On Windows a malformed
// UTF-8 sequence becomes U+FFFD. Throws only std::bad_alloc.
std::optional<SystemString> SystemFileName(std::string_view utf8);

}  // namespace voziroz
