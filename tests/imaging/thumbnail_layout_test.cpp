#include "imaging/thumbnail_layout.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

namespace voziroz {
namespace {

constexpr std::int32_t kMaxInt = std::numeric_limits<std::int32_t>::max();

TEST(RoundHalfToEven, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfToEven(37.5), 38);
  EXPECT_EQ(RoundHalfToEven(36.5), 36);
  EXPECT_EQ(RoundHalfToEven(0.5), 0);
  EXPECT_EQ(RoundHalfToEven(36.5000001), 37);
  EXPECT_EQ(RoundHalfToEven(-2.5), -2);
  EXPECT_EQ(RoundHalfToEven(2147483647.0), kMaxInt);
}

TEST(RoundHalfToEven, ValuesBeyond32BitsAreRangeErrors) {
  for (double value :
       {2147483647.5, -2147483649.0, 1e300, std::numeric_limits<double>::quiet_NaN()}) {
    try {
      RoundHalfToEven(value);
      ADD_FAILURE() << value;
    } catch (const std::range_error& error) {
      EXPECT_STREQ(error.what(), "Range check error");
    }
  }
}

struct LayoutCase {
  const char* name;
  std::int32_t source_width, source_height, width, height;
  ThumbnailLayout expected;
};

TEST(LayOutThumbnail, SizesAndPlacement) {
  const LayoutCase cases[] = {
      {"wide, height derived", 400, 300, 100, 0, {100, 75, {0, 0, 100, 75}}},
      {"wide, width derived", 400, 300, 0, 75, {100, 75, {0, 0, 100, 75}}},
      {"wide in a square: 12 rows above, 13 below",
       400,
       300,
       100,
       100,
       {100, 100, {0, 12, 100, 75}}},
      {"tall in a square", 300, 400, 100, 100, {100, 100, {12, 0, 75, 100}}},
      {"wide in a wider box overhangs", 400, 200, 100, 20, {100, 20, {0, -15, 100, 50}}},
      {"odd overhang truncates toward zero", 400, 200, 100, 21, {100, 21, {0, -14, 100, 50}}},
      {"square in a wide box", 200, 200, 100, 50, {100, 50, {25, 0, 50, 50}}},
      {"square in a tall box goes by height", 200, 200, 50, 100, {50, 100, {-25, 0, 100, 100}}},
      {"wide in a tall box goes by width", 400, 300, 100, 200, {100, 200, {0, 62, 100, 75}}},
      {"derived width 37.5 rounds up", 75, 2, 0, 1, {38, 1, {0, 0, 38, 1}}},
      {"derived width 36.5 rounds down", 73, 2, 0, 1, {36, 1, {0, 0, 36, 1}}},
      {"derived height and drawn height 4.5", 4, 3, 6, 0, {6, 4, {0, 0, 6, 4}}},
      {"derived height 37.5 for a tall source", 2, 75, 1, 0, {1, 38, {0, 0, 1, 38}}},
      {"derived side rounding to 0 leaves an empty canvas", 1, 1000, 0, 1, {0, 1, {0, 0, 0, 1}}},
      {"both 0 stay 0", 400, 300, 0, 0, {0, 0, {0, 0, 0, 0}}},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.name);
    const ThumbnailLayout layout =
        LayOutThumbnail(c.source_width, c.source_height, c.width, c.height);
    EXPECT_EQ(layout.width, c.expected.width);
    EXPECT_EQ(layout.height, c.expected.height);
    EXPECT_EQ(layout.image.left, c.expected.image.left);
    EXPECT_EQ(layout.image.top, c.expected.image.top);
    EXPECT_EQ(layout.image.width, c.expected.image.width);
    EXPECT_EQ(layout.image.height, c.expected.image.height);
  }
}

TEST(LayOutThumbnail, OutOfRangeSizesAndNegativeRequests) {
  // Derived sides of about 2^32 and 400 * 2^31 do not fit 32 bits; a drawn side never exceeds
  // the requested one.
  EXPECT_THROW(LayOutThumbnail(400, 200, 0, kMaxInt), std::range_error);
  EXPECT_THROW(LayOutThumbnail(1, 400, kMaxInt, 0), std::range_error);
  EXPECT_EQ(LayOutThumbnail(400, 1, kMaxInt, 1).image.height, 5368709);
  EXPECT_THROW(LayOutThumbnail(400, 300, -1, 100), std::invalid_argument);
  EXPECT_THROW(LayOutThumbnail(400, 300, 100, -1), std::invalid_argument);
}

}  // namespace
}  // namespace voziroz
