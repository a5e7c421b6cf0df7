#include "imaging/thumbnail.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "test_jpeg.h"

namespace voziroz {
namespace {

namespace fs = std::filesystem;

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr std::int32_t kRedFill = 0xFF0000;
constexpr int kTolerance = 8;  // per channel, for a JPEG of quality 90 away from edges

class ThumbnailTest : public ::testing::Test {
 protected:
  fs::path Source(int width, int height, const test::PixelSource& pixel) {
    const fs::path path =
        folder_ / ("source-" + std::to_string(width) + "x" + std::to_string(height) + ".jpg");
    test::WriteJpeg(path, width, height, pixel);
    return path;
  }
  fs::path WhiteSource(int width, int height) {
    return Source(width, height, [](int, int) { return kWhite; });
  }
  bool Thumbnail(const fs::path& source, std::int32_t width, std::int32_t height,
                 std::int32_t fill = kRedFill) {
    return CreateThumbnail(source.string(), target_.string(), width, height, fill);
  }

  test::ScratchFolder folder_;
  fs::path target_ = folder_ / "thumb.jpg";
};

struct WorkedExample {
  const char* name;
  int source_width, source_height;
  std::int32_t width, height;
  int expected_width, expected_height;
  int image_left, image_top, image_right, image_bottom;  // where white must show; red elsewhere
};

TEST_F(ThumbnailTest, WorkedExamplesPlaceTheImageAndTheFillBands) {
  const WorkedExample cases[] = {
      {"400x300 into 100x0", 400, 300, 100, 0, 100, 75, 0, 0, 100, 75},
      {"400x300 into 0x75", 400, 300, 0, 75, 100, 75, 0, 0, 100, 75},
      {"400x300 into 100x100: 12 rows above, 13 below", 400, 300, 100, 100, 100, 100, 0, 12, 100,
       87},
      {"300x400 into 100x100: 12 columns left, 13 right", 300, 400, 100, 100, 100, 100, 12, 0, 87,
       100},
      {"400x200 into 100x20: no fill", 400, 200, 100, 20, 100, 20, 0, 0, 100, 20},
      {"square into 100x50", 200, 200, 100, 50, 100, 50, 25, 0, 75, 50},
  };
  for (const WorkedExample& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(Thumbnail(WhiteSource(c.source_width, c.source_height), c.width, c.height));
    const test::DecodedJpeg thumb = test::ReadJpeg(target_);
    ASSERT_EQ(thumb.width, c.expected_width);
    ASSERT_EQ(thumb.height, c.expected_height);
    // Every pixel is nearer to the colour it should have than to the other one.
    for (int y = 0; y < thumb.height; ++y) {
      for (int x = 0; x < thumb.width; ++x) {
        const bool image =
            x >= c.image_left && x < c.image_right && y >= c.image_top && y < c.image_bottom;
        const Rgb pixel = thumb.At(x, y);
        const bool looks_white =
            test::ColorDistance(pixel, kWhite) < test::ColorDistance(pixel, kRed);
        ASSERT_EQ(looks_white, image) << "at " << x << "," << y;
      }
    }
  }
}

TEST_F(ThumbnailTest, AnOverhangingImageShowsItsMiddleRows) {
  // 400x200 drawn 100x50 at y = -15 in a 100x20 box: drawn rows 15-34 show, taken from source
  // rows 62-138, all inside the green middle band (rows 50-149).
  const fs::path source = Source(400, 200, [](int, int y) {
    return y < 50 || y >= 150 ? Rgb{0, 0, 255} : Rgb{0, 200, 0};
  });
  ASSERT_TRUE(Thumbnail(source, 100, 20));
  const test::DecodedJpeg thumb = test::ReadJpeg(target_);
  ASSERT_EQ(thumb.height, 20);
  for (int y = 0; y < 20; ++y) {
    EXPECT_LE(test::ColorDistance(thumb.At(50, y), Rgb{0, 200, 0}), kTolerance) << y;
  }
}

struct BandColour {
  std::int32_t fill;
  Rgb expected;
};

TEST_F(ThumbnailTest, FillColourIsRrggbbAndIgnoresTheTopByte) {
  const fs::path source = WhiteSource(400, 300);
  const BandColour cases[] = {
      {0xFF0000, {255, 0, 0}},
      {0x0000FF, {0, 0, 255}},
      {0x00FF00, {0, 255, 0}},
      {0x123456, {0x12, 0x34, 0x56}},
      {static_cast<std::int32_t>(0xFF0000FFu), {0, 0, 255}},
      {0x7F123456, {0x12, 0x34, 0x56}},
  };
  for (const BandColour& c : cases) {
    SCOPED_TRACE(c.fill);
    ASSERT_TRUE(Thumbnail(source, 100, 100, c.fill));
    const test::DecodedJpeg thumb = test::ReadJpeg(target_);
    EXPECT_LE(test::ColorDistance(thumb.At(50, 4), c.expected), kTolerance);   // band above
    EXPECT_LE(test::ColorDistance(thumb.At(50, 95), c.expected), kTolerance);  // band below
    EXPECT_LE(test::ColorDistance(thumb.At(50, 50), kWhite), kTolerance);
  }
  // Bits 24-31 make no difference at all.
  ASSERT_TRUE(Thumbnail(source, 100, 100, 0x0000FF));
  const std::string plain = test::ReadBytes(target_);
  ASSERT_TRUE(Thumbnail(source, 100, 100, static_cast<std::int32_t>(0xAB0000FFu)));
  EXPECT_EQ(test::ReadBytes(target_), plain);
}

TEST_F(ThumbnailTest, OutputIsAProgressiveColourJpegOfQuality90) {
  // Gray in, colour out; the quality-90 tables themselves are checked with the encoder.
  const fs::path source = folder_ / "gray.jpg";
  test::WriteJpeg(
      source, 300, 200,
      [](int x, int) {
        return x < 150 ? Rgb{60, 60, 60} : Rgb{190, 190, 190};
      },
      test::JpegKind::kGray);
  ASSERT_TRUE(Thumbnail(source, 60, 0));
  const std::vector<int> markers = test::MarkersBeforeScan(test::ReadBytes(target_));
  EXPECT_NE(std::find(markers.begin(), markers.end(), 0xC2), markers.end());
  const test::DecodedJpeg thumb = test::ReadJpeg(target_);
  EXPECT_TRUE(thumb.progressive);
  EXPECT_EQ(thumb.components, 3);
  EXPECT_EQ(thumb.width, 60);
  EXPECT_EQ(thumb.height, 40);
  EXPECT_EQ(thumb.luma_table[0], 3);  // 16 at quality 90
  EXPECT_LE(test::ColorDistance(thumb.At(10, 20), Rgb{60, 60, 60}), kTolerance);
  EXPECT_LE(test::ColorDistance(thumb.At(50, 20), Rgb{190, 190, 190}), kTolerance);
}

TEST_F(ThumbnailTest, HalfwayDerivedWidthRoundsToEven) {
  ASSERT_TRUE(Thumbnail(WhiteSource(75, 2), 0, 1));  // 37.5
  EXPECT_EQ(test::ReadJpeg(target_).width, 38);
  ASSERT_TRUE(Thumbnail(WhiteSource(73, 2), 0, 1));  // 36.5
  EXPECT_EQ(test::ReadJpeg(target_).width, 36);
}

TEST_F(ThumbnailTest, BothSidesZeroLeaveAnEmptyTargetAndSucceed) {
  test::WriteBytes(target_, "old thumbnail");
  EXPECT_TRUE(Thumbnail(WhiteSource(400, 300), 0, 0));
  ASSERT_TRUE(fs::exists(target_));
  EXPECT_EQ(fs::file_size(target_), 0u);
}

struct FileCase {
  const char* name;
  std::string source;  // file name in the scratch folder
  std::int32_t width, height;
};

TEST_F(ThumbnailTest, FailuresBeforeTheSourceIsOpenLeaveTheTargetAlone) {
  const fs::path good = WhiteSource(40, 30);
  fs::create_directory(folder_ / "folder.jpg");
  ASSERT_EQ(mkfifo((folder_ / "fifo.jpg").c_str(), 0600), 0);  // opening it must not wait
  const FileCase cases[] = {
      {"missing source", "missing.jpg", 100, 100},
      {"source is a folder", "folder.jpg", 100, 100},
      {"source is a FIFO", "fifo.jpg", 100, 100},
      {"negative width", good.filename().string(), -1, 100},
      {"negative height", good.filename().string(), 100, -5},
      {"negative with a missing source", "missing.jpg", 0, -1},
  };
  for (const FileCase& c : cases) {
    SCOPED_TRACE(c.name);
    test::WriteBytes(target_, "old thumbnail");
    EXPECT_FALSE(Thumbnail(folder_ / c.source, c.width, c.height));
    EXPECT_EQ(test::ReadBytes(target_), "old thumbnail");
  }
  fs::remove(target_);
  EXPECT_FALSE(Thumbnail(folder_ / "missing.jpg", 100, 100));
  EXPECT_FALSE(fs::exists(target_));
}

TEST_F(ThumbnailTest, ASourceThatIsNotAJpegLeavesAnEmptyTarget) {
  const fs::path good = WhiteSource(64, 64);
  const std::string bytes = test::ReadBytes(good);
  test::WriteBytes(folder_ / "text.jpg", "GEDCOM is not a picture format.\n");
  test::WriteBytes(folder_ / "truncated.jpg", bytes.substr(0, bytes.size() / 2));
  test::WriteBytes(folder_ / "empty.jpg", "");
  const FileCase cases[] = {
      {"text file named .jpg", "text.jpg", 100, 100},
      {"text file with both sides 0", "text.jpg", 0, 0},
      {"truncated JPEG", "truncated.jpg", 100, 100},
      {"empty file", "empty.jpg", 100, 100},
  };
  for (const FileCase& c : cases) {
    SCOPED_TRACE(c.name);
    test::WriteBytes(target_, "old thumbnail");
    EXPECT_FALSE(Thumbnail(folder_ / c.source, c.width, c.height));
    ASSERT_TRUE(fs::exists(target_));
    EXPECT_EQ(fs::file_size(target_), 0u);
  }
}

TEST_F(ThumbnailTest, TargetProblemsFailAndKeepTheSourceIntact) {
  const fs::path source = WhiteSource(40, 30);
  const std::string original = test::ReadBytes(source);
  EXPECT_FALSE(CreateThumbnail(source.string(), source.string(), 10, 10, 0));
  fs::create_symlink(source, folder_ / "link.jpg");
  EXPECT_FALSE(CreateThumbnail(source.string(), (folder_ / "link.jpg").string(), 10, 10, 0));
  EXPECT_EQ(test::ReadBytes(source), original);
  EXPECT_FALSE(CreateThumbnail(source.string(), (folder_ / "no" / "such.jpg").string(), 10, 10, 0));
  EXPECT_FALSE(fs::exists(folder_ / "no"));
  if (fs::exists("/dev/full")) {
    EXPECT_FALSE(CreateThumbnail(source.string(), "/dev/full", 10, 10, 0));
  }
  ASSERT_EQ(mkfifo((folder_ / "fifo.jpg").c_str(), 0600), 0);
  EXPECT_FALSE(CreateThumbnail(source.string(), (folder_ / "fifo.jpg").string(), 10, 10, 0));
  // A NUL byte would make the system see a shorter, different name.
  EXPECT_FALSE(
      CreateThumbnail(source.string(), target_.string() + std::string(1, '\0') + "x", 10, 10, 0));
  EXPECT_FALSE(fs::exists(target_));
}

struct ScaleError {
  const char* name;
  std::string source;
  std::int32_t width, height;
  const char* message;
};

TEST_F(ThumbnailTest, ScaleJpegReportsWhatWentWrong) {
  const std::string wide = test::ReadBytes(WhiteSource(400, 200));
  const ScaleError cases[] = {
      {"not a JPEG", "hello", 10, 10, "Not a JPEG file: starts with 0x68 0x65"},
      {"derived width beyond 32 bits", wide, 0, 0x7FFFFFFF, "Range check error"},
      {"canvas beyond the JPEG limit", wide, 65501, 1,
       "Maximum supported image dimension is 65500 pixels"},
      {"canvas above 2^26 pixels", wide, 8193, 8192, "Thumbnail is too large: 8193 x 8192 pixels"},
      {"negative width", wide, -1, 10, "Thumbnail width and height must not be negative"},
  };
  for (const ScaleError& c : cases) {
    SCOPED_TRACE(c.name);
    test::WriteBytes(folder_ / "in.jpg", c.source);
    {
      const test::FilePtr in = test::OpenFile(folder_ / "in.jpg", "rb");
      const test::FilePtr out = test::OpenFile(target_, "wb");
      ASSERT_TRUE(in && out);
      try {
        ScaleJpeg(in.get(), out.get(), c.width, c.height, 0);
        ADD_FAILURE() << "scaled";
      } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), c.message);
      }
    }
    EXPECT_EQ(fs::file_size(target_), 0u);
  }
}

}  // namespace
}  // namespace voziroz
