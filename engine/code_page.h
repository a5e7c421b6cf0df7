// The ANSI code page: the 8-bit text the engine works in, as tables read once.
//
// On Windows it is the system's ANSI code page, taken from the platform's own conversions and
// case rules, when that code page is a single-byte one; elsewhere, and under a multi-byte system
// code page (the engine counts one character per byte), it is Windows-1252 by exact tables. A
// character the code page cannot hold becomes '?': never a look-alike letter.
#pragma once

#include <array>

namespace voziroz {

struct AnsiCodePage {
  std::array<char16_t, 256> units;  // the UTF-16 unit of each byte
  std::array<char, 0x10000> bytes;  // the byte of each UTF-16 unit ('?' for none, surrogates)
  std::array<char, 256> upper;      // each byte upper-cased
  std::array<char, 256> lower;      // each byte lower-cased
};

// The code page of this process (made on first use; safe from any thread).
const AnsiCodePage& TheAnsiCodePage();

// Windows-1252 by its exact definition, whatever the platform.
const AnsiCodePage& Windows1252CodePage();

}  // namespace voziroz
