#include "engine/windows1252.h"

#include <gtest/gtest.h>

#include <string>

namespace voziroz {
namespace {

using namespace std::string_literals;

std::string FromUtf8(const std::string& bytes) {
  TextBuffer out;
  AppendUtf8AsAnsi(bytes, out);
  return std::string(out.view());
}

std::string FromUtf16(const std::string& bytes, bool big_endian) {
  TextBuffer out;
  AppendUtf16AsAnsi(bytes, big_endian, out);
  return std::string(out.view());
}

std::string FromUtf32Be(const std::string& bytes) {
  TextBuffer out;
  AppendUtf32BeAsAnsi(bytes, out);
  return std::string(out.view());
}

TEST(Windows1252, HighControlBytesHaveTheirCodePoints) {
  const std::pair<unsigned char, char32_t> cases[] = {
      {0x80, 0x20AC}, {0x82, 0x201A}, {0x8A, 0x0160}, {0x8C, 0x0152}, {0x8E, 0x017D},
      {0x91, 0x2018}, {0x96, 0x2013}, {0x99, 0x2122}, {0x9C, 0x0153}, {0x9F, 0x0178},
      {0x81, 0x0081}, {0x8D, 0x008D}, {0x8F, 0x008F}, {0x90, 0x0090}, {0x9D, 0x009D},
      {0x00, 0x0000}, {0x7F, 0x007F}, {0xA0, 0x00A0}, {0xE9, 0x00E9}, {0xFF, 0x00FF},
  };
  for (auto [byte, cp] : cases) EXPECT_EQ(AnsiToCodePoint(byte), cp) << int(byte);
}

TEST(Windows1252, EveryByteRoundTripsThroughItsCodePoint) {
  for (int b = 0; b < 256; ++b) {
    EXPECT_EQ(static_cast<unsigned char>(CodePointToAnsi(AnsiToCodePoint(b))), b) << b;
  }
}

TEST(Windows1252, CodePointsWithoutAByteBecomeQuestionMarks) {
  for (char32_t cp : {0x80u, 0x8Cu, 0x9Fu, 0x100u, 0x20ADu, 0xD800u, 0xFFFDu, 0x1F600u, 0x110000u})
    EXPECT_EQ(CodePointToAnsi(cp), '?') << std::uint32_t(cp);
}

TEST(Windows1252, DecodesUtf8) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"plain ASCII, long enough for whole words", "plain ASCII, long enough for whole words"},
      {"Caf\xC3\xA9", "Caf\xE9"},
      {"\xC2\xA0\xC3\xBF", "\xA0\xFF"},
      {"\xE2\x82\xAC 5", "\x80 5"},
      {"\xC5\xA0\xC5\x93\xE2\x84\xA2", "\x8A\x9C\x99"},
      {"\xC2\x81\xC2\x9D", "\x81\x9D"},                            // the undefined bytes
      {"\xC2\x80", "?"},                                           // C1 control without a byte
      {"\xF0\x9F\x98\x80 smile", "? smile"},                       // emoji: one code point
      {"\xF4\x8F\xBF\xBF", "?"},                                   // U+10FFFF
      {"\xEF\xBF\xBF", "?"},                                       // U+FFFF
      {"0123456789abcdef\xC3\xA9xyz", "0123456789abcdef\xE9xyz"},  // after whole words
  };
  for (const auto& [in, want] : cases) EXPECT_EQ(FromUtf8(in), want) << in;
}

TEST(Windows1252, EachByteOfABadUtf8SequenceBecomesOneQuestionMark) {
  const std::pair<std::string, std::string> cases[] = {
      {"\x80"
       "A",
       "?A"},                        // lone continuation byte
      {"\xC0\xAF", "??"},            // overlong two-byte form
      {"\xC1\xBF", "??"},            // overlong two-byte form
      {"\xE0\x80\xAF", "???"},       // overlong three-byte form
      {"\xF0\x80\x80\xAF", "????"},  // overlong four-byte form
      {"\xED\xA0\x80", "???"},       // surrogate D800
      {"\xED\xBF\xBF", "???"},       // surrogate DFFF
      {"\xF4\x90\x80\x80", "????"},  // above U+10FFFF
      {"\xF5\x80\x80\x80", "????"},  // no such lead byte
      {"\xFE\xFF", "??"},            // never in UTF-8
      {"\xC3"
       "A",
       "?A"},  // continuation missing
      {"\xE2\x82"
       "A",
       "??A"},                                // three-byte sequence cut short
      {"ab\xC3", "ab?"},                      // cut off by the end
      {"ab\xE2\x82", "ab??"},                 // cut off by the end
      {"ab\xF0\x9F\x98", "ab???"},            // cut off by the end
      {"\xC3\xA9\xA9\xC3\xA9", "\xE9?\xE9"},  // one stray byte between good ones
  };
  for (const auto& [in, want] : cases) EXPECT_EQ(FromUtf8(in), want) << in;
}

TEST(Windows1252, Utf8DecodingStopsAtTheFirstNul) {
  EXPECT_EQ(FromUtf8("ab\0cd"s), "ab");
  EXPECT_EQ(FromUtf8("\0abc"s), "");
  EXPECT_EQ(FromUtf8("0123456789a\0cdef"s), "0123456789a");  // NUL inside a whole word
  EXPECT_EQ(FromUtf8("\xC3\0x"s), "?");                      // NUL cuts a sequence
}

TEST(Windows1252, Utf8IsAppendedToWhatTheBufferHolds) {
  TextBuffer out("head:");
  AppendUtf8AsAnsi("\xC3\xA9", out);
  EXPECT_EQ(out.view(), "head:\xE9");
}

TEST(Windows1252, ValidatesUtf8) {
  for (std::string good :
       {""s, "abc"s, "a\0b"s, "\xC3\xA9"s, "\xF4\x8F\xBF\xBF"s, "0123456789abcdef\xE2\x82\xAC"s})
    EXPECT_TRUE(IsValidUtf8(good)) << good;
  for (std::string bad : {"\x80"s, "\xC3"s, "\xC0\xAF"s, "\xED\xA0\x80"s, "\xF4\x90\x80\x80"s,
                          "0123456789abcdef\xE2\x82"s, "\xFF"s})
    EXPECT_FALSE(IsValidUtf8(bad)) << bad;
}

TEST(Windows1252, DecodesUtf16InBothByteOrders) {
  struct Case {
    std::string little;  // the big-endian input is the same with each pair swapped
    std::string want;
  };
  const Case cases[] = {
      {"A\0b\0"s, "Ab"},
      {"\xE9\0\xAC\x20"s, "\xE9\x80"},
      {"\x3D\xD8\x00\xDE"
       "A\0"s,
       "?A"},  // surrogate pair U+1F600: one '?'
      {"\x3D\xD8"
       "A\0"s,
       "?A"},  // high surrogate without its low one
      {"\x00\xDE"
       "A\0"s,
       "?A"},                  // lone low surrogate
      {"A\0\x3D\xD8"s, "A?"},  // high surrogate at the end
      {"A\0\0\0B\0"s, "A"},    // a zero unit ends the text
      {"A\0B"s, "A"},          // an odd trailing byte is ignored
      {"\x00\x01"s, "?"},      // U+0100
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FromUtf16(c.little, false), c.want);
    std::string big = c.little;
    for (std::size_t i = 0; i + 1 < big.size(); i += 2) std::swap(big[i], big[i + 1]);
    EXPECT_EQ(FromUtf16(big, true), c.want);
  }
}

TEST(Windows1252, DecodesUtf32BigEndian) {
  const std::pair<std::string, std::string> cases[] = {
      {"\0\0\0A\0\0\0b"s, "Ab"},  {"\0\0\x20\xAC"s, "\x80"},
      {"\0\x01\xF6\x00"s, "?"},                                      // U+1F600
      {"\0\x11\0\0"s, "?"},                                          // above U+10FFFF
      {"\0\0\xD8\0"s, "?"},                                          // surrogate
      {"\xFF\xFF\xFF\xFF"s, "?"}, {"\0\0\0A\0\0\0\0\0\0\0B"s, "A"},  // a zero unit ends the text
      {"\0\0\0A\0\0\0"s, "A"},  // trailing bytes of a cut unit are ignored
  };
  for (const auto& [in, want] : cases) EXPECT_EQ(FromUtf32Be(in), want);
}

TEST(Windows1252, OutputConversionsRoundTripEveryByte) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(FromUtf8(AnsiToUtf8(all)), all);
  EXPECT_EQ(Utf16ToAnsi(AnsiToUtf16(all)), all);
  EXPECT_EQ(Utf16ToAnsi(AnsiToUtf16("a\0b"s)), "a\0b"s);  // NUL is a character here
}

TEST(Windows1252, EncodesOutput) {
  EXPECT_EQ(AnsiToUtf8("\x80\xE9\x81 x"), "\xE2\x82\xAC\xC3\xA9\xC2\x81 x");
  EXPECT_EQ(AnsiToUtf16("\x80\xE9"), u"\u20AC\u00E9");
  EXPECT_EQ(Utf16ToAnsi(u"\u0160\U0001F600\u4E00"), "\x8A??");
}

}  // namespace
}  // namespace voziroz
