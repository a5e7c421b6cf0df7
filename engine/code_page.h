// The engine's code page: the form of its 8-bit text, chosen once per process.
//
// Two code pages exist. The single-byte one is Windows-1252 by exact tables (on Windows, when
// nothing else is asked for, the system's ANSI code page if that is a single-byte one); a
// character it cannot hold becomes '?', never a look-alike letter. The UTF-8 one (65001) holds
// every character: the engine's text is valid UTF-8, and every rule that counts characters counts
// code points.
//
// VOZIROZ_CODE_PAGE chooses: "utf-8" (any case) or "65001" gives UTF-8; "1252" or empty gives
// Windows-1252; unset gives Windows-1252, or on Windows the system's ANSI code page (UTF-8 when
// the system's is 65001). Any other value gives Windows-1252 and is reported as invalid.
#pragma once

#include <array>
#include <cstdint>

namespace voziroz {

enum class CodePage : std::uint8_t { SingleByte, Utf8 };

// What a value of VOZIROZ_CODE_PAGE asks for.
enum class CodePageSetting : std::uint8_t { Unset, Windows1252, Utf8, Invalid };

inline constexpr const char* kCodePageVariable = "VOZIROZ_CODE_PAGE";

// The setting a value asks for; nullptr is Unset.
CodePageSetting ReadCodePageSetting(const char* value);

// The setting of this process, read from the environment on first use.
CodePageSetting TheCodePageSetting();

// The code page of this process (chosen on first use; safe from any thread).
CodePage TheCodePage();

struct AnsiCodePage {
  std::array<char16_t, 256> units;  // the UTF-16 unit of each byte
  std::array<char, 0x10000> bytes;  // the byte of each UTF-16 unit ('?' for none, surrogates)
  std::array<char, 256> upper;      // each byte upper-cased
  std::array<char, 256> lower;      // each byte lower-cased
};

// The single-byte code page of this process (made on first use; safe from any thread).
const AnsiCodePage& TheAnsiCodePage();

// Windows-1252 by its exact definition, whatever the platform; its case rules are also those of
// the UTF-8 code page.
const AnsiCodePage& Windows1252CodePage();

}  // namespace voziroz
