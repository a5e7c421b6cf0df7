// Parser.Thumbnail called by name: the member hands its arguments to the thumbnailer and reports
// every failure as false, never as an error.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "automation/call_by_name.h"
#include "automation/parser_object.h"
#include "automation/script_text.h"
#include "tests/imaging/test_jpeg.h"

namespace voziroz {
namespace {

namespace fs = std::filesystem;

constexpr int kTolerance = 8;  // per channel, for a JPEG of quality 90 away from edges

class ParserThumbnailTest : public ::testing::Test {
 protected:
  Variant Thumbnail(const Variant& source, const Variant& target, std::int32_t width,
                    std::int32_t height, std::int32_t fill) {
    return CallByName(*parser_, "Thumbnail",
                      {source, target, Variant::I4(width), Variant::I4(height), Variant::I4(fill)});
  }
  static Variant Name(const fs::path& path) { return Variant::Text(path.string()); }
  // The name as a script's string arrives.
  static Variant ScriptName(const fs::path& path) { return ScriptText(path.u16string()); }

  test::ScratchFolder folder_;
  fs::path source_ = folder_ / "photo.jpg";
  fs::path target_ = folder_ / "thumb.jpg";
  ObjectPtr<TParser> parser_ = MakeObject<TParser>();
};

TEST_F(ParserThumbnailTest, MakesAThumbnailOnTheFillColourWithoutAnOpenFile) {
  test::WriteJpeg(source_, 400, 300, [](int, int) { return Rgb{255, 255, 255}; });
  // Width and height as text and the colour as a number: the dispatcher converts them.
  EXPECT_EQ(CallByName(*parser_, "Thumbnail",
                       {Name(source_), Name(target_), Variant::Text("100"), Variant::I4(100),
                        Variant::I4(0x0000FF)}),
            Variant::Bool(true));
  const test::DecodedJpeg thumb = test::ReadJpeg(target_);
  ASSERT_EQ(thumb.width, 100);
  ASSERT_EQ(thumb.height, 100);
  EXPECT_TRUE(thumb.progressive);
  EXPECT_LE(test::ColorDistance(thumb.At(50, 4), Rgb{0, 0, 255}), kTolerance);  // the band
  EXPECT_LE(test::ColorDistance(thumb.At(50, 50), Rgb{255, 255, 255}), kTolerance);
}

TEST_F(ParserThumbnailTest, FailuresAreFalseAndLeaveTheTargetAlone) {
  test::WriteJpeg(source_, 40, 30, [](int, int) { return Rgb{0, 128, 0}; });
  const struct {
    const char* what;
    Variant source, target;
    std::int32_t width;
  } kCases[] = {
      {"a missing source", Name(folder_ / "missing.jpg"), Name(target_), 10},
      {"a Null source name", Variant::Null(), Name(target_), 10},
      {"a Null target name", Name(source_), Variant::Null(), 10},
      {"a negative width", Name(source_), Name(target_), -1},
      {"a NUL in the source name", Variant::Text(source_.string() + std::string(1, '\0') + "x"),
       Name(target_), 10},
  };
  for (const auto& c : kCases) {
    test::WriteBytes(target_, "kept");
    EXPECT_EQ(Thumbnail(c.source, c.target, c.width, 0, 0), Variant::Bool(false)) << c.what;
    EXPECT_EQ(test::ReadBytes(target_), "kept") << c.what;
  }
  // Not a JPEG: false, and the target has been truncated.
  test::WriteBytes(source_, "just text");
  EXPECT_EQ(Thumbnail(Name(source_), Name(target_), 10, 10, 0), Variant::Bool(false));
  EXPECT_EQ(fs::file_size(target_), 0u);
}

// Names that Windows-1252 cannot hold reach the system whole, as the script wrote them.
TEST_F(ParserThumbnailTest, NamesOutsideTheCodePageAreUsedWhole) {
  const fs::path source = folder_ / "\u0141\u00F3d\u017A.jpg";
  const fs::path target = folder_ / "\u041C\u0438\u043D\u0438.jpg";
  test::WriteJpeg(source, 40, 30, [](int, int) { return Rgb{0, 128, 0}; });
  EXPECT_EQ(Thumbnail(ScriptName(source), ScriptName(target), 20, 0, 0), Variant::Bool(true));
  EXPECT_EQ(test::ReadJpeg(target).width, 20);
}

}  // namespace
}  // namespace voziroz
