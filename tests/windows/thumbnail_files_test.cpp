// The thumbnailer's files on Windows: names in UTF-8, an existing target replaced, and
// a target that is the source itself or a device refused.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "com_test_support.h"
#include "imaging/bitmap.h"
#include "imaging/jpeg_codec.h"
#include "imaging/thumbnail.h"

namespace voziroz::testing {
namespace {

class ThumbnailFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Bitmap picture(40, 20);
    picture.Fill(Rgb{200, 10, 10});
    std::FILE* file = std::fopen(source_.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    EncodeJpeg(picture, file);
    std::fclose(file);
  }
  static std::string Head(const std::string& path, std::size_t count) {
    std::FILE* file = _wfopen(Widened(path).c_str(), L"rb");
    if (!file) return "<missing>";
    std::string bytes(count, '\0');
    bytes.resize(std::fread(bytes.data(), 1, count, file));
    std::fclose(file);
    return bytes;
  }

  ScratchFolder folder_{"voziroz thumbnails"};
  std::string source_ = folder_ / "source.jpg";
};

TEST_F(ThumbnailFilesTest, AnExistingTargetIsReplaced) {
  const std::string target = folder_ / "thumb.jpg";
  std::FILE* old = std::fopen(target.c_str(), "wb");
  std::fputs("old contents", old);
  std::fclose(old);
  EXPECT_TRUE(CreateThumbnail(source_, target, 10, 0, 0xFFFFFF));
  EXPECT_EQ(Head(target, 2), "\xFF\xD8");
}

TEST_F(ThumbnailFilesTest, NamesAreUtf8) {
  const std::string target = folder_ / "caf\u00E9 \u0141\u00F3d\u017A.jpg";
  EXPECT_TRUE(CreateThumbnail(source_, target, 10, 10, 0));
  EXPECT_EQ(Head(target, 2), "\xFF\xD8");
}

TEST_F(ThumbnailFilesTest, TheSourceIsNeverItsOwnTarget) {
  const std::string before = Head(source_, 64);
  for (const std::string& target : {source_, folder_ / ".\\SOURCE.JPG"})
    EXPECT_FALSE(CreateThumbnail(source_, target, 10, 10, 0)) << target;
  EXPECT_EQ(Head(source_, 64), before);
  EXPECT_FALSE(CreateThumbnail(folder_.Path(), folder_ / "thumb.jpg", 10, 10, 0));
  EXPECT_EQ(Head(folder_ / "thumb.jpg", 2), "<missing>");
}

TEST_F(ThumbnailFilesTest, ADeviceIsNeitherSourceNorTarget) {
  EXPECT_FALSE(CreateThumbnail("NUL", folder_ / "thumb.jpg", 10, 10, 0));
  EXPECT_EQ(Head(folder_ / "thumb.jpg", 2), "<missing>");
  EXPECT_FALSE(CreateThumbnail(source_, "NUL", 10, 10, 0));
}

}  // namespace
}  // namespace voziroz::testing
