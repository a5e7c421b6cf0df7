// LoadFileText: files on disk, byte-order marks and unmarked character sets, bad input.
#include "engine/gedcom_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "tests/temp_dir.h"

namespace voziroz {
namespace {

using namespace std::string_literals;

// UTF-16 bytes of an ASCII or Latin-1 text, with or without a mark.
std::string Utf16(std::string_view latin1, bool big_endian, bool mark) {
  std::string out = mark ? (big_endian ? "\xFE\xFF"s : "\xFF\xFE"s) : ""s;
  for (char c : latin1) {
    char low = c, high = 0;
    out += big_endian ? std::string{high, low} : std::string{low, high};
  }
  return out;
}

std::string Utf32Be(std::string_view latin1) {
  std::string out = "\0\0\xFE\xFF"s;
  for (char c : latin1) out += std::string{0, 0, 0, c};
  return out;
}

class LoadFileTextTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    return dir_.Write(name, bytes);
  }
  std::string Load(const std::string& bytes) {
    LoadedText loaded = LoadFileText(Write("file.ged", bytes));
    EXPECT_TRUE(loaded.Readable);
    return std::string(loaded.Text.view());
  }

  testing::TempDir dir_;
};

TEST_F(LoadFileTextTest, FilesThatCannotBeReadGiveTheFallbackAndSaySo) {
  // A NUL ends the name for the system, which would read the file named by what comes before.
  const std::string cut = Write("cut.ged", "0 HEAD\r\n") + "\0.ged"s;
  for (std::string path :
       {(dir_.path() / "missing.ged").string(), dir_.path().string(), "/dev/null"s, ""s, cut}) {
    LoadedText loaded = LoadFileText(path);
    EXPECT_FALSE(loaded.Readable) << path;
    EXPECT_EQ(loaded.Text.view(), kFallbackText) << path;
  }
}

TEST_F(LoadFileTextTest, FileWithoutReadPermissionIsNotReadable) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads files whatever their permission bits";
  std::string path = Write("locked.ged", "0 HEAD\r\n0 TRLR\r\n");
  chmod(path.c_str(), 0);
  EXPECT_FALSE(LoadFileText(path).Readable);
}

TEST_F(LoadFileTextTest, EmptyFileIsReadableAndGivesTheFallback) {
  EXPECT_EQ(Load(""), kFallbackText);
}

TEST_F(LoadFileTextTest, DecodesByCharacterSet) {
  const std::string body = "0 HEAD\r\n1 NAME Ren\xE9 \x80\r\n0 TRLR\r\n";  // Windows-1252
  const std::string body_utf8 = "0 HEAD\r\n1 NAME Ren\xC3\xA9 \xE2\x82\xAC\r\n0 TRLR\r\n";
  const std::string utf8_head = "0 HEAD\r\n1 CHAR UTF-8\r\n1 NOTE Ren";
  const std::string ansel_head = "0 HEAD\r\n1 CHAR ANSEL\r\n1 NOTE Ren";
  const std::string far = std::string(8192, 'x') + "\r\n";  // pushes a declaration out of reach
  struct Case {
    const char* what;
    std::string bytes;
    std::string want;
  };
  const Case cases[] = {
      {"plain bytes", body, body},
      {"UTF-8 mark", "\xEF\xBB\xBF" + body_utf8, body},
      {"UTF-16LE mark", Utf16("0 HEAD\r\n1 NAME Ren\xE9\r\n", false, true),
       "0 HEAD\r\n1 NAME Ren\xE9\r\n"},
      {"UTF-16BE mark", Utf16("0 HEAD\r\n1 NAME Ren\xE9\r\n", true, true),
       "0 HEAD\r\n1 NAME Ren\xE9\r\n"},
      {"UTF-32BE mark", Utf32Be("0 HEAD\r\n1 NAME Ren\xE9\r\n"), "0 HEAD\r\n1 NAME Ren\xE9\r\n"},
      {"unmarked UTF-16LE", Utf16("0 HEAD\r\n", false, false), "0 HEAD\r\n"},
      {"unmarked UTF-16BE", Utf16("0 HEAD\r\n", true, false), "0 HEAD\r\n"},
      {"unmarked declared UTF-8", utf8_head + "\xC3\xA9\r\n", utf8_head + "\xE9\r\n"},
      {"declared UTF-8 that is not", utf8_head + "\xE9\r\n", utf8_head + "\xE9\r\n"},
      {"UTF-8 declared too late", far + utf8_head + "\xC3\xA9\r\n",
       far + utf8_head + "\xC3\xA9\r\n"},
      {"UTF-8 declared in lower case", "1 CHAR utf-8\r\n\xC3\xA9\r\n",
       "1 CHAR utf-8\r\n\xC3\xA9\r\n"},
      {"ANSEL",
       ansel_head + "\xE2"
                    "e\r\n",
       ansel_head + "\xE9\r\n"},
      {"ANSEL declared too late",
       far + ansel_head +
           "\xE2"
           "e\r\n",
       far + ansel_head +
           "\xE2"
           "e\r\n"},
      {"ANSEL declared behind a UTF-8 mark", "\xEF\xBB\xBF" + ansel_head + "\xC3\xA9\r\n",
       ansel_head + "\xE9\r\n"},
      {"ANSEL declared in UTF-16", Utf16(ansel_head + "\xE9\r\n", false, true),
       ansel_head + "\xE9\r\n"},
      {"ANSEL with a mark at the very end", ansel_head + "\xE2", ansel_head + "\r\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(Load(c.bytes), c.want) << c.what;
}

TEST_F(LoadFileTextTest, EndsWithALineBreak) {
  const std::pair<std::string, std::string> cases[] = {
      {"0 HEAD\r\n1 CHAR ANSI\r\n0 TRLR", "0 HEAD\r\n1 CHAR ANSI\r\n0 TRLR\r\n"},
      {"0 TRLR\r", "0 TRLR\r"},
      {"0 TRLR\n", "0 TRLR\n"},
      {"\r\r\r", "\r\r\r"},
      {"\xEF\xBB\xBF"
       "0 TRLR",
       "0 TRLR\r\n"},
      {Utf16("0 TRLR", false, true), "0 TRLR\r\n"},
  };
  for (const auto& [bytes, want] : cases) EXPECT_EQ(Load(bytes), want);
}

TEST_F(LoadFileTextTest, BadBytesEndInAResult) {
  struct Case {
    const char* what;
    std::string bytes;
    std::string want;
  };
  const Case cases[] = {
      {"NUL cuts plain bytes",
       "0 HEAD\r\n\0"
       "1 NAME X\r\n"s,
       "0 HEAD\r\n"},
      {"NUL first", "\0\r\n0 HEAD\r\n"s, std::string(kFallbackText)},
      {"NUL right after a mark",
       "\xEF\xBB\xBF\0"
       "0 HEAD"s,
       std::string(kFallbackText)},
      {"zero unit after a UTF-16 mark",
       "\xFF\xFE\0\0"
       "0\0"s,
       std::string(kFallbackText)},
      {"only a mark", "\xFE\xFF", std::string(kFallbackText)},
      {"one bad UTF-8 byte",
       "\xEF\xBB\xBF"
       "1 NAME \xFF"
       "x\r\n",
       "1 NAME ?x\r\n"},
      {"an emoji",
       "\xEF\xBB\xBF"
       "1 NAME \xF0\x9F\x98\x80\r\n",
       "1 NAME ?\r\n"},
      {"truncated UTF-8 sequence at the end",
       "\xEF\xBB\xBF"
       "1 NAME \xE2\x82",
       "1 NAME ??\r\n"},
      {"odd UTF-16 byte count", Utf16("0 HEAD", false, true) + "\r", "0 HEAD\r\n"},
      {"odd UTF-32 byte count", Utf32Be("0 HEAD") + "\0\0"s, "0 HEAD\r\n"},
      {"lone surrogate",
       "\xFF\xFE"
       "A\0\x00\xD8"
       "B\0"s,
       "A?B\r\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(Load(c.bytes), c.want) << c.what;
}

TEST_F(LoadFileTextTest, BinaryFileLoadsAndPreParsesWithoutHarm) {
  std::string bytes(1 << 20, '\0');
  std::uint32_t state = 12345;
  for (char& c : bytes) {
    state = state * 1103515245u + 12345u;
    c = static_cast<char>((state >> 16) | 1);  // no NUL, so every byte is looked at
  }
  std::string text = Load(bytes);
  ASSERT_FALSE(text.empty());
  EXPECT_TRUE(text.back() == '\r' || text.back() == '\n');
  std::optional<TLines> lines = PreParseLines(TextBuffer(text));
  if (lines) {
    for (const TLine& line : lines->Lines) EXPECT_LE(lines->Value(line).size(), 255u);
  }
}

TEST_F(LoadFileTextTest, FiftyMegabyteLineIsCutTo255Characters) {
  std::string bytes = "0 HEAD\r\n1 NOTE " + std::string(50 << 20, 'x') + "\r\n0 TRLR\r\n";
  LoadedText loaded = LoadFileText(Write("long.ged", bytes));
  ASSERT_EQ(loaded.Text.size(), bytes.size());
  std::optional<TLines> lines = PreParseLines(std::move(loaded.Text));
  ASSERT_TRUE(lines);
  ASSERT_EQ(lines->Count, 2);
  EXPECT_EQ(lines->Value(1), std::string(255, 'x'));
}

}  // namespace
}  // namespace voziroz
