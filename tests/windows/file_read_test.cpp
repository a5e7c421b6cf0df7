// Reading files on Windows: through a read-only mapping, names in Windows-1252.
#include "engine/file_read.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace voziroz::testing {
namespace {

class FileReadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "voziroz file read";
    CreateDirectoryA(folder_.c_str(), nullptr);
  }
  void TearDown() override {
    for (const std::string& file : written_) DeleteFileA(file.c_str());
    RemoveDirectoryA(folder_.c_str());
  }
  // Writes a file in the scratch folder; `name` is Windows-1252.
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = folder_ + "\\" + name;
    const std::wstring wide = Widened(path);
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    written_.push_back(path);
    return path;
  }
  static std::wstring Widened(const std::string& ansi) {
    std::wstring wide(ansi.size(), L'\0');
    MultiByteToWideChar(1252, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(),
                        static_cast<int>(wide.size()));
    return wide;
  }

  std::string folder_;
  std::vector<std::string> written_;
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

TEST_F(FileReadTest, NamesAreWindows1252) {
  TextBuffer bytes;
  ASSERT_TRUE(ReadWholeFile(Write("caf\xE9 \x80.ged", "0 HEAD\r\n"), bytes));
  EXPECT_EQ(bytes.view(), "0 HEAD\r\n");
}

TEST_F(FileReadTest, EmptyFileReadsAsNoBytes) {
  TextBuffer bytes("left over");
  ASSERT_TRUE(ReadWholeFile(Write("empty.ged", ""), bytes));
  EXPECT_TRUE(bytes.empty());
}

TEST_F(FileReadTest, WhatIsNoReadableFileIsRefused) {
  const std::string cases[] = {folder_ + "\\missing.ged", folder_, std::string("NUL"),
                               std::string("a\0b", 3)};
  for (const std::string& name : cases) {
    TextBuffer bytes;
    EXPECT_FALSE(ReadWholeFile(name, bytes)) << name;
  }
}

}  // namespace
}  // namespace voziroz::testing
