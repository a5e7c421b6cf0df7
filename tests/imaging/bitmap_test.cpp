#include "imaging/bitmap.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace voziroz {
namespace {

constexpr Rgb kFill{0, 0, 255};

// A source whose pixel (x, y) is (x, y, 0), so a drawn pixel tells where it came from.
Bitmap CoordinateBitmap(std::int32_t width, std::int32_t height) {
  Bitmap bitmap(width, height);
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      std::uint8_t* pixel = bitmap.Row(y) + 3 * x;
      pixel[0] = static_cast<std::uint8_t>(x);
      pixel[1] = static_cast<std::uint8_t>(y);
      pixel[2] = 0;
    }
  }
  return bitmap;
}

// Along canvas row `y` (or column `x` when `along_row` is false): the source column (row) drawn
// at each pixel, or -1 where the fill shows.
std::vector<int> Drawn(const Bitmap& canvas, bool along_row, std::int32_t fixed) {
  std::vector<int> drawn;
  const std::int32_t count = along_row ? canvas.width() : canvas.height();
  for (std::int32_t i = 0; i < count; ++i) {
    const std::uint8_t* pixel = along_row ? canvas.Row(fixed) + 3 * i : canvas.Row(i) + 3 * fixed;
    drawn.push_back(pixel[2] == kFill.blue ? -1 : pixel[along_row ? 0 : 1]);
  }
  return drawn;
}
std::vector<int> DrawnColumns(const Bitmap& canvas, std::int32_t y) {
  return Drawn(canvas, true, y);
}
std::vector<int> DrawnRows(const Bitmap& canvas, std::int32_t x) {
  return Drawn(canvas, false, x);
}

struct StretchCase {
  const char* name;
  std::int32_t source_width, source_height;
  Rect target;
  std::int32_t canvas_width, canvas_height;
  std::vector<int> columns;  // along canvas row `probe_y`
  std::vector<int> rows;     // along canvas column `probe_x`
  std::int32_t probe_x, probe_y;
};

TEST(BitmapStretch, RepeatsOrDropsWholeRowsAndColumnsAndClips) {
  const StretchCase cases[] = {
      {"enlarge repeats", 2, 2, {0, 0, 4, 4}, 4, 4, {0, 0, 1, 1}, {0, 0, 1, 1}, 0, 0},
      {"shrink takes centres", 4, 6, {0, 0, 2, 3}, 2, 3, {1, 3}, {1, 3, 5}, 0, 0},
      {"odd enlarge", 2, 3, {0, 0, 5, 5}, 5, 5, {0, 0, 1, 1, 1}, {0, 0, 1, 2, 2}, 0, 0},
      {"inset keeps fill", 2, 2, {1, 2, 2, 2}, 4, 5, {-1, 0, 1, -1}, {-1, -1, 0, 1, -1}, 1, 2},
      {"overhang left and top", 4, 4, {-1, -2, 6, 8}, 4, 4, {1, 1, 2, 3}, {1, 1, 2, 2}, 0, 0},
      {"overhang right and bottom", 4, 4, {2, 1, 4, 4}, 4, 4, {-1, -1, 0, 1}, {-1, 0, 1, 2}, 2, 1},
      {"wholly outside", 2, 2, {5, 0, 2, 2}, 4, 2, {-1, -1, -1, -1}, {-1, -1}, 0, 0},
      {"zero width", 2, 2, {0, 0, 0, 2}, 2, 2, {-1, -1}, {-1, -1}, 0, 0},
  };
  for (const StretchCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Bitmap source = CoordinateBitmap(c.source_width, c.source_height);
    Bitmap canvas(c.canvas_width, c.canvas_height);
    canvas.Fill(kFill);
    canvas.StretchFrom(source, c.target);
    EXPECT_EQ(DrawnColumns(canvas, c.probe_y), c.columns);
    EXPECT_EQ(DrawnRows(canvas, c.probe_x), c.rows);
  }
}

TEST(BitmapStretch, EveryDrawnPixelComesFromOneSourceRowAndColumn) {
  // Shrink 7x5 into 3x4 with an overhang on the left: each row of the canvas must repeat the
  // column pattern of the first, each column the row pattern of the first.
  const Bitmap source = CoordinateBitmap(7, 5);
  Bitmap canvas(3, 4);
  canvas.Fill(kFill);
  canvas.StretchFrom(source, Rect{-1, 0, 4, 4});
  const std::vector<int> columns = DrawnColumns(canvas, 0);
  EXPECT_EQ(columns, (std::vector<int>{2, 4, 6}));
  for (std::int32_t y = 0; y < 4; ++y) EXPECT_EQ(DrawnColumns(canvas, y), columns) << y;
  for (std::int32_t x = 0; x < 3; ++x)
    EXPECT_EQ(DrawnRows(canvas, x), (std::vector<int>{0, 1, 3, 4}));
}

TEST(Bitmap, FillsEveryPixelAndRowsArePacked) {
  Bitmap bitmap(3, 2);
  bitmap.Fill(Rgb{1, 2, 3});
  EXPECT_EQ(bitmap.Row(1) - bitmap.Row(0), 9);
  for (std::int32_t y = 0; y < 2; ++y) {
    for (int i = 0; i < 9; ++i) EXPECT_EQ(bitmap.Row(y)[i], i % 3 + 1);
  }
}

TEST(Bitmap, EmptyAndNegativeSizes) {
  EXPECT_TRUE(Bitmap(0, 5).empty());
  EXPECT_TRUE(Bitmap(5, 0).empty());
  Bitmap empty(0, 0);
  empty.Fill(kFill);  // nothing to do, nothing to break
  empty.StretchFrom(CoordinateBitmap(2, 2), Rect{0, 0, 2, 2});
  EXPECT_THROW(Bitmap(-1, 2), std::invalid_argument);
  EXPECT_THROW(Bitmap(2, -1), std::invalid_argument);
}

}  // namespace
}  // namespace voziroz
