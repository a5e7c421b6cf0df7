// The ANSI code page on Windows: read from the system, without look-alike letters.
#include "engine/code_page.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "engine/ansi_case.h"
#include "engine/windows1252.h"

namespace voziroz::testing {
namespace {

// Wine's and Windows' usual code page: the tables read from the platform must be the exact ones.
TEST(SystemCodePage, AWindows1252SystemGivesTheExactTables) {
  if (GetACP() != 1252) GTEST_SKIP() << "the system's ANSI code page is " << GetACP();
  const AnsiCodePage& system = TheAnsiCodePage();
  const AnsiCodePage& exact = Windows1252CodePage();
  for (int b = 0; b < 256; ++b) {
    EXPECT_EQ(int(system.units[b]), int(exact.units[b])) << "byte " << b;
    EXPECT_EQ(system.upper[b], exact.upper[b]) << "upper case of byte " << b;
    EXPECT_EQ(system.lower[b], exact.lower[b]) << "lower case of byte " << b;
  }
  for (int unit = 0; unit < 0x10000; ++unit)
    ASSERT_EQ(system.bytes[unit], exact.bytes[unit]) << "unit " << unit;
}

TEST(SystemCodePage, TextFollowsTheSystemsConversions) {
  char bytes[256];
  for (int b = 0; b < 256; ++b) bytes[b] = static_cast<char>(b);
  wchar_t units[256];
  ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, bytes, 256, units, 256), 256);
  for (int b = 0; b < 256; ++b)
    EXPECT_EQ(int(AnsiToCodePoint(static_cast<unsigned char>(b))), int(units[b])) << b;
  // Best fit would write L for L-stroke and T for T-cedilla; a character the code page lacks
  // becomes '?' instead.
  EXPECT_EQ(Utf16ToAnsi(u"\u0141\u0162\U0001F600x"), "???x");
  EXPECT_EQ(AnsiUpperCase("abc"), "ABC");
}

}  // namespace
}  // namespace voziroz::testing
