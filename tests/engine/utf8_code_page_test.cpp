// The engine in the UTF-8 code page: decoding into valid UTF-8, counting code points, case rules
// and the boundary conversions, called with the code page whatever the process's is.
#include <gtest/gtest.h>

#include <string>

#include "engine/ansi_case.h"
#include "engine/code_page.h"
#include "engine/date_key.h"
#include "engine/gedcom_reader.h"
#include "engine/windows1252.h"
#include "tests/engine/built_tables.h"

namespace voziroz {
namespace {

using namespace std::string_literals;
constexpr CodePage kUtf8 = CodePage::Utf8;
const std::string kFffd = "\uFFFD";

std::string Decode(const std::string& bytes, CodePage page = kUtf8) {
  return std::string(DecodeFileBytes(TextBuffer(bytes), page).view());
}

// UTF-16 little-endian bytes of the units, with a mark.
std::string Utf16Le(std::u16string_view units) {
  std::string out = "\xFF\xFE";
  for (char16_t u : units) out += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
  return out;
}

std::string Utf32Be(std::u32string_view units) {
  std::string out = "\0\0\xFE\xFF"s;
  for (char32_t u : units)
    for (int shift : {24, 16, 8, 0}) out += static_cast<char>((u >> shift) & 0xFF);
  return out;
}

TEST(Utf8CodePage, EveryEncodingDecodesIntoValidUtf8) {
  const struct {
    const char* what;
    std::string bytes, want;
  } cases[] = {
      {"marked UTF-8",
       "\xEF\xBB\xBF"
       "1 NAME Łódź 😀\r\n",
       "1 NAME Łódź 😀\r\n"},
      {"one U+FFFD per maximal invalid subpart",
       "\xEF\xBB\xBF"
       "a\xC3(\xE2\x82\xF0\x80\x80\xED\xA0z",
       "a" + kFffd + "(" + kFffd + kFffd + kFffd + kFffd + kFffd + kFffd + "z\r\n"},
      {"cut at the first NUL",
       "\xEF\xBB\xBF"
       "0 A\0B\r\n"s,
       "0 A\r\n"},
      {"undeclared UTF-8 without a mark", "1 NAME Jiří\n", "1 NAME Jiří\n"},
      {"invalid UTF-8 without a mark is Windows-1252", "1 NAME Ren\xE9 \x80\xC3\n",
       "1 NAME René €Ã\n"},
      {"declared UTF-8 that is invalid", "1 CHAR UTF-8\n\xC5\n", "1 CHAR UTF-8\nÅ\n"},
      {"declared ANSEL",
       "1 CHAR ANSEL\n\xE2"
       "e\xB9\xE9"
       "c\n",
       "1 CHAR ANSEL\né£č\n"},
      {"UTF-16: lone surrogates and a pair", Utf16Le(u"0 \xD800x\xDC00y\U0001F600\r\n"),
       "0 " + kFffd + "x" + kFffd + "y😀\r\n"},
      {"UTF-16: cut at the first zero unit", Utf16Le(u"0 A\r\n"s + u'\0' + u"B"), "0 A\r\n"},
      {"UTF-32: units that are no code point", Utf32Be(U"0 \xD800\x110000\U0001F600ł\n"),
       "0 " + kFffd + kFffd + "😀ł\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(Decode(c.bytes), c.want) << c.what;
}

TEST(Utf8CodePage, UnmarkedHighBytesAreTheirWindows1252Characters) {
  std::string bytes = "0 ";
  for (int b = 0x80; b <= 0xFF; ++b) bytes += static_cast<char>(b);
  bytes += "\r\n";
  const std::string utf8 = Decode(bytes);
  EXPECT_EQ(utf8, AnsiToUtf8(Decode(bytes, CodePage::SingleByte), CodePage::SingleByte));
  EXPECT_EQ(utf8.substr(0, 2 + 3 + 2), "0 €\u0081");
  EXPECT_EQ(utf8.substr(utf8.size() - 6), "þÿ\r\n");
}

TEST(Utf8CodePage, PreParseCountsCodePoints) {
  const std::string a254(254, 'a');
  std::string e255;
  for (int i = 0; i < 255; ++i) e255 += "é";
  const struct {
    const char* what;
    std::string line;
    int level;
    std::string tag, value;
  } cases[] = {
      {"a two-byte character across byte 255", "1 NOTE " + a254 + "éx", 1, "NOTE", a254 + "é"},
      {"a four-byte character across byte 255", "1 NOTE " + a254 + "😀x", 1, "NOTE", a254 + "😀"},
      {"255 two-byte characters", "1 NOTE " + e255 + "é", 1, "NOTE", e255},
      {"a record identifier", "0 @" + e255 + " INDI", 0, "INDI", "@" + e255.substr(0, 508)},
      {"the tag starts at the third character", "É NAME x", -1, "NAME", "x"},
      {"a short value stays whole", "2 PLAC Łódź", 2, "PLAC", "Łódź"},
  };
  for (const auto& c : cases) {
    const std::optional<TLines> lines = PreParseLines(TextBuffer(c.line + "\n0 TRLR\n"), kUtf8);
    ASSERT_TRUE(lines && lines->Count == 1) << c.what;
    const TLine& line = lines->Lines[0];
    EXPECT_EQ(line.Level, c.level) << c.what;
    EXPECT_EQ(CodeToTag(line.Code), c.tag) << c.what;
    EXPECT_EQ(lines->Value(line), c.value) << c.what;
  }
}

TEST(Utf8CodePage, DateKeysCountCodePoints) {
  const std::pair<const char*, const char*> cases[] = {
      {"é MAR 1850", "1850030É"},      // a one-character day, upper-cased
      {"żó JAN 1850", "185001żÓ"},     // ż has no capital in Windows-1252
      {"żó é 1850", "1850000É"},       // a shorter day replaces a longer one
      {"1 JAN Łódź", "ŁÓDź0101"},      // four characters are a year
      {"ABT 😀 MAR 1850", "1850030😀"},  // a four-byte character
      {"BEFé 1850", "18500000"},       // the fifth character follows a two-byte one
      {"INTé1 JAN 1850 (x)", "18500101"}, {"BETé2 MAR 1850 AND 1860", "18500302"},
      {"mär 1850", "18500000"},  // three characters, no month
  };
  for (const auto& [date, key] : cases) EXPECT_EQ(IsoDateOf(date, kUtf8), key) << date;
}

TEST(Utf8CodePage, SexIsTheFirstCharacter) {
  const std::optional<TLines> lines =
      PreParseLines(TextBuffer("0 @I1@ INDI\n1 SEX Éva\n0 @I2@ INDI\n1 SEX 😀\n0 TRLR\n"), kUtf8);
  ASSERT_TRUE(lines);
  testkit::BuiltTables t;
  ASSERT_TRUE(BuildTables(*lines, t.person, t.event, t.family, t.source, t.multimedia, kUtf8));
  EXPECT_EQ(t.person.TextOf(t.person.At(0, 1)), "É");
  EXPECT_EQ(t.person.TextOf(t.person.At(1, 1)), "😀");
}

TEST(Utf8CodePage, CaseRulesAreThoseOfWindows1252) {
  EXPECT_EQ(AnsiUpperCase("rows été šœžÿ łß ǆ \xC3", kUtf8), "ROWS ÉTÉ ŠŒŽŸ łß ǆ \xC3");
  EXPECT_EQ(AnsiLowerCase("ROWS ÉTÉ ŠŒŽŸ Ł×", kUtf8), "rows été šœžÿ Ł×");
}

TEST(Utf8CodePage, AutomationStringsCrossWhole) {
  EXPECT_EQ(AnsiToUtf16("Łódź 😀", kUtf8), u"Łódź 😀");
  EXPECT_EQ(Utf16ToAnsi(u"Łódź 😀", kUtf8), "Łódź 😀");
  EXPECT_EQ(Utf16ToAnsi(u"a\xD800"
                        "b\xDC00",
                        kUtf8),
            "a" + kFffd + "b" + kFffd);
  EXPECT_EQ(AnsiToUtf8("Łódź", kUtf8), "Łódź");
}

TEST(CodePageSetting, ReadsTheVariable) {
  const std::pair<const char*, CodePageSetting> cases[] = {
      {nullptr, CodePageSetting::Unset},      {"", CodePageSetting::Windows1252},
      {"1252", CodePageSetting::Windows1252}, {"UTF-8", CodePageSetting::Utf8},
      {"utf-8", CodePageSetting::Utf8},       {"65001", CodePageSetting::Utf8},
      {"utf8", CodePageSetting::Invalid},     {"1250", CodePageSetting::Invalid},
  };
  for (const auto& [value, setting] : cases)
    EXPECT_EQ(ReadCodePageSetting(value), setting) << (value ? value : "(unset)");
}

}  // namespace
}  // namespace voziroz
