// Reading files on Windows: through a read-only mapping, names in UTF-8 whatever the code page.
#include "engine/file_read.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "com_test_support.h"

namespace voziroz::testing {
namespace {

class FileReadTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    return folder_.Write(name, bytes);
  }
  ScratchFolder folder_{"voziroz file read"};
};

TEST_F(FileReadTest, ReadsTheWholeFileWithRoomForALineBreak) {
  const std::string content = "0 HEAD\r\n1 CHAR ANSI\r\n0 TRLR\r\n" + std::string(100000, 'x');
  TextBuffer bytes;
  ASSERT_TRUE(ReadWholeFile(Write("a.ged", content), bytes));
  EXPECT_EQ(bytes.view(), content);
  EXPECT_GE(bytes.capacity(), content.size() + 2);
}

// Two files read one after the other (in the same millisecond) each give their own bytes.
TEST_F(FileReadTest, FilesReadBackToBackKeepTheirOwnBytes) {
  const std::string first = Write("first.ged", "0 HEAD\r\n");
  const std::string second = Write("second.ged", "0 TRLR\r\n");
  TextBuffer a, b;
  ASSERT_TRUE(ReadWholeFile(first, a));
  ASSERT_TRUE(ReadWholeFile(second, b));
  EXPECT_EQ(a.view(), "0 HEAD\r\n");
  EXPECT_EQ(b.view(), "0 TRLR\r\n");
}

TEST_F(FileReadTest, NamesAreUtf8) {
  TextBuffer bytes;
  ASSERT_TRUE(
      ReadWholeFile(Write("caf\u00E9 \u20AC \u0141\u00F3d\u017A.ged", "0 HEAD\r\n"), bytes));
  EXPECT_EQ(bytes.view(), "0 HEAD\r\n");
}

TEST_F(FileReadTest, EmptyFileReadsAsNoBytes) {
  TextBuffer bytes("left over");
  ASSERT_TRUE(ReadWholeFile(Write("empty.ged", ""), bytes));
  EXPECT_TRUE(bytes.empty());
}

TEST_F(FileReadTest, WhatIsNoReadableFileIsRefused) {
  const std::string cases[] = {folder_ / "missing.ged", folder_.Path(), std::string("NUL"),
                               std::string("a\0b", 3)};
  for (const std::string& name : cases) {
    TextBuffer bytes;
    EXPECT_FALSE(ReadWholeFile(name, bytes)) << name;
  }
}

}  // namespace
}  // namespace voziroz::testing
