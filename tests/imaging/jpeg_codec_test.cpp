#include "imaging/jpeg_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <set>
#include <stdexcept>
#include <string>

#include "test_jpeg.h"

namespace voziroz {
namespace {

using test::JpegKind;

using test::FilePtr;
using test::OpenFile;

Bitmap DecodeFile(const std::filesystem::path& path) {
  FilePtr file = OpenFile(path, "rb");
  return DecodeJpeg(file.get());
}

Rgb PixelAt(const Bitmap& image, int x, int y) {
  const std::uint8_t* pixel = image.Row(y) + 3 * x;
  return Rgb{pixel[0], pixel[1], pixel[2]};
}

// Quantisation tables of the JPEG standard's example (natural order) and libjpeg's scaling of
// them for quality 90 with baseline-compatible (8-bit) values.
constexpr std::array<int, 64> kStandardLuma = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
constexpr std::array<int, 64> kStandardChroma = {
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99,
    99, 99, 47, 66, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

std::array<std::uint16_t, 64> AtQuality90(const std::array<int, 64>& standard) {
  std::array<std::uint16_t, 64> scaled{};
  for (int i = 0; i < 64; ++i) {
    scaled[i] = static_cast<std::uint16_t>(std::clamp((standard[i] * 20 + 50) / 100, 1, 255));
  }
  return scaled;
}

class JpegCodecTest : public ::testing::Test {
 protected:
  test::ScratchFolder folder_;
};

TEST_F(JpegCodecTest, DecodesColourAndProgressiveSourcesAtFullSize) {
  const auto halves = [](int x, int) { return x < 32 ? Rgb{200, 30, 30} : Rgb{20, 40, 220}; };
  for (JpegKind kind : {JpegKind::kColor, JpegKind::kColorProgressive}) {
    test::WriteJpeg(folder_ / "halves.jpg", 64, 48, halves, kind);
    const Bitmap image = DecodeFile(folder_ / "halves.jpg");
    ASSERT_EQ(image.width(), 64);
    ASSERT_EQ(image.height(), 48);
    EXPECT_LE(test::ColorDistance(PixelAt(image, 8, 24), Rgb{200, 30, 30}), 6);
    EXPECT_LE(test::ColorDistance(PixelAt(image, 56, 24), Rgb{20, 40, 220}), 6);
  }
}

TEST_F(JpegCodecTest, GraySourceIsQuantisedTo236Levels) {
  // A ramp over all 256 grey values; after the quantiser at most 236 distinct levels remain.
  const auto ramp = [](int x, int) {
    const auto v = static_cast<std::uint8_t>(x);
    return Rgb{v, v, v};
  };
  test::WriteJpeg(folder_ / "ramp.jpg", 256, 16, ramp, JpegKind::kGray);
  const Bitmap image = DecodeFile(folder_ / "ramp.jpg");
  ASSERT_EQ(image.width(), 256);
  std::set<int> levels;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const Rgb pixel = PixelAt(image, x, y);
      ASSERT_EQ(pixel.red, pixel.green);
      ASSERT_EQ(pixel.red, pixel.blue);
      levels.insert(pixel.red);
    }
  }
  EXPECT_LE(levels.size(), 236u);
  EXPECT_GT(levels.size(), 200u);
  EXPECT_LE(test::ColorDistance(PixelAt(image, 128, 8), Rgb{128, 128, 128}), 4);
}

// `jpeg` with the frame header's sides replaced (a baseline file's SOF0 segment).
std::string WithClaimedSize(std::string jpeg, int width, int height) {
  const std::size_t sof = jpeg.find("\xFF\xC0");
  jpeg[sof + 5] = static_cast<char>(height >> 8);
  jpeg[sof + 6] = static_cast<char>(height);
  jpeg[sof + 7] = static_cast<char>(width >> 8);
  jpeg[sof + 8] = static_cast<char>(width);
  return jpeg;
}

struct BadSource {
  const char* name;
  std::string bytes;
  const char* message;
};

TEST_F(JpegCodecTest, SourcesThatAreNotDecodableJpegsFailWithLibjpegsMessage) {
  test::WriteJpeg(folder_ / "good.jpg", 64, 64, [](int x, int y) {
    return Rgb{static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y * 4), 90};
  });
  const std::string good = test::ReadBytes(folder_ / "good.jpg");
  test::WriteJpeg(
      folder_ / "progressive.jpg", 64, 64,
      [](int x, int) {
        return Rgb{0, static_cast<std::uint8_t>(x), 0};
      },
      JpegKind::kColorProgressive);
  const std::string progressive = test::ReadBytes(folder_ / "progressive.jpg");
  test::WriteJpeg(
      folder_ / "cmyk.jpg", 16, 16,
      [](int, int) {
        return Rgb{10, 20, 30};
      },
      JpegKind::kCmyk);
  const BadSource cases[] = {
      {"text", "This is a text file, not a picture.\n", "Not a JPEG file: starts with 0x54 0x68"},
      {"empty", "", "Empty input file"},
      {"header only", good.substr(0, 200), "Premature end of JPEG file"},
      {"cut in the scan", good.substr(0, good.size() / 2), "Premature end of JPEG file"},
      {"no end marker", good.substr(0, good.size() - 2), "Premature end of JPEG file"},
      {"cut progressive", progressive.substr(0, progressive.size() / 2),
       "Premature end of JPEG file"},
      {"scan cut by a marker", good.substr(0, good.size() / 2) + "\xFF\xD9",
       "Corrupt JPEG data: premature end of data segment"},
      // A few bytes claiming a large image fail at the end of the data, not after making up
      // its pixels; above 2^27 pixels the header alone is refused.
      {"2^27 pixels claimed", WithClaimedSize(good, 16384, 8192),
       "Corrupt JPEG data: premature end of data segment"},
      {"2^27 + 16384 pixels claimed", WithClaimedSize(good, 16384, 8193),
       "Image is too large: 16384 x 8193 pixels"},
      {"65500 x 65500 claimed", WithClaimedSize(good, 65500, 65500),
       "Image is too large: 65500 x 65500 pixels"},
      // Only colour and grey sources are turned into 24-bit pixels.
      {"CMYK", test::ReadBytes(folder_ / "cmyk.jpg"), "Unsupported color conversion request"},
  };
  for (const BadSource& c : cases) {
    SCOPED_TRACE(c.name);
    test::WriteBytes(folder_ / "bad.jpg", c.bytes);
    try {
      DecodeFile(folder_ / "bad.jpg");
      ADD_FAILURE() << "decoded";
    } catch (const std::runtime_error& error) {
      EXPECT_STREQ(error.what(), c.message);
    }
  }
}

TEST_F(JpegCodecTest, CorruptedBytesEndInAnImageOrAnError) {
  // Bytes overwritten all over baseline and progressive files: every decode must return an
  // image of the declared size or throw; the sanitizer build checks that nothing is overrun.
  const auto texture = [](int x, int y) {
    return Rgb{static_cast<std::uint8_t>(x * 7), static_cast<std::uint8_t>(y * 5),
               static_cast<std::uint8_t>(x * y)};
  };
  std::uint32_t random = 2024;
  for (JpegKind kind : {JpegKind::kColor, JpegKind::kColorProgressive, JpegKind::kGray}) {
    test::WriteJpeg(folder_ / "texture.jpg", 48, 40, texture, kind);
    const std::string bytes = test::ReadBytes(folder_ / "texture.jpg");
    for (int trial = 0; trial < 150; ++trial) {
      std::string damaged = bytes;
      for (int hits = 0; hits < 1 + trial % 4; ++hits) {
        random = random * 1664525u + 1013904223u;
        damaged[(random >> 8) % damaged.size()] = static_cast<char>(random >> 24);
      }
      test::WriteBytes(folder_ / "damaged.jpg", damaged);
      try {
        const Bitmap image = DecodeFile(folder_ / "damaged.jpg");
        EXPECT_GT(image.width(), 0);
        EXPECT_GT(image.height(), 0);
      } catch (const std::runtime_error& error) {
        EXPECT_GT(std::strlen(error.what()), 0u);
      }
    }
  }
}

TEST_F(JpegCodecTest, EncodesProgressiveColourAtQuality90) {
  Bitmap image(40, 24);
  image.Fill(Rgb{128, 128, 128});
  {
    FilePtr out = OpenFile(folder_ / "out.jpg", "wb");
    EncodeJpeg(image, out.get());
  }
  const std::string bytes = test::ReadBytes(folder_ / "out.jpg");
  const std::vector<int> markers = test::MarkersBeforeScan(bytes);
  EXPECT_NE(std::find(markers.begin(), markers.end(), 0xC2), markers.end());  // SOF2
  EXPECT_EQ(std::find(markers.begin(), markers.end(), 0xC0), markers.end());  // no SOF0

  const test::DecodedJpeg decoded = test::ReadJpeg(folder_ / "out.jpg");
  EXPECT_TRUE(decoded.progressive);
  EXPECT_EQ(decoded.components, 3);
  EXPECT_TRUE(decoded.ycbcr);
  EXPECT_EQ(decoded.width, 40);
  EXPECT_EQ(decoded.height, 24);
  EXPECT_EQ(decoded.luma_table, AtQuality90(kStandardLuma));
  EXPECT_EQ(decoded.chroma_table, AtQuality90(kStandardChroma));
  EXPECT_LE(test::ColorDistance(decoded.At(20, 12), Rgb{128, 128, 128}), 2);
}

TEST_F(JpegCodecTest, AFailedWriteIsAnError) {
  FilePtr full = OpenFile("/dev/full", "wb");
  if (!full) GTEST_SKIP() << "/dev/full is not available";
  Bitmap image(16, 16);
  image.Fill(Rgb{1, 2, 3});
  try {
    EncodeJpeg(image, full.get());
    ADD_FAILURE() << "encoded";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Output file write error --- out of disk space?");
  }
}

}  // namespace
}  // namespace voziroz
