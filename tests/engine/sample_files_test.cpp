// The shipped sample in every character set must pre-parse to the lines of the Windows-1252
// original; only the value of the CHAR line differs. Regenerate the variants with
// scripts/make_sample_encodings.py.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "engine/gedcom_reader.h"

namespace voziroz {
namespace {

const std::string kSamples = std::string(VOZIROZ_SOURCE_DIR) + "/samples/";

// Stored lines of family.ged: every line but CONT, CONC, the two user-defined tags and TRLR.
constexpr std::int32_t kSampleLineCount = 658;
constexpr std::int32_t kCharLine = 14;

TLines LoadSample(const std::string& name) {
  LoadedText loaded = LoadFileText(kSamples + name);
  EXPECT_TRUE(loaded.Readable) << name;
  std::optional<TLines> lines = PreParseLines(std::move(loaded.Text));
  if (!lines) {
    ADD_FAILURE() << name << ": no lines";
    return TLines{};
  }
  return std::move(*lines);
}

TEST(SampleFiles, AnsiOriginalHoldsTheExpectedLines) {
  TLines lines = LoadSample("family.ged");
  ASSERT_EQ(lines.Count, kSampleLineCount);
  EXPECT_EQ(lines.Lines[0].Code, tag::HEAD);
  EXPECT_EQ(lines.Lines[kCharLine].Code, tag::CHAR);
  EXPECT_EQ(lines.Value(kCharLine), "ANSI");
  EXPECT_EQ(lines.Value(26), "S\xF8ren /Dahl/");
  EXPECT_EQ(lines.Value(16),
            "Sample file written for the Voziroz project. The people, places and events in it "
            "are invented; any likeness to a real family is chance.\r\nSix generations of the "
            "Dahl, M\xFCller, Lef\xE8vre and Whitfield families, with the common GEDCOM 5.5 date "
            "forms, notes, sources, citations and pictures.");
  EXPECT_EQ(lines.PersonEstimate, 35);
}

TEST(SampleFiles, EveryEncodingGivesTheLinesOfTheOriginal) {
  struct Variant {
    const char* file;
    std::string_view charset;
  };
  const Variant variants[] = {
      {"family-utf8.ged", "UTF-8"},      {"family-utf16le.ged", "UNICODE"},
      {"family-utf16be.ged", "UNICODE"}, {"family-utf32be.ged", "UNICODE"},
      {"family-ansel.ged", "ANSEL"},
  };
  const TLines original = LoadSample("family.ged");
  ASSERT_EQ(original.Count, kSampleLineCount);
  for (const Variant& v : variants) {
    SCOPED_TRACE(v.file);
    TLines lines = LoadSample(v.file);
    ASSERT_EQ(lines.Count, original.Count);
    EXPECT_EQ(lines.PersonEstimate, original.PersonEstimate);
    EXPECT_EQ(lines.FamilyEstimate, original.FamilyEstimate);
    EXPECT_EQ(lines.EventEstimate, original.EventEstimate);
    EXPECT_EQ(lines.MultimediaEstimate, original.MultimediaEstimate);
    EXPECT_EQ(lines.SourceEstimate, original.SourceEstimate);
    for (std::int32_t i = 0; i < lines.Count; ++i) {
      const TLine& got = lines.Lines[i];
      const TLine& want = original.Lines[i];
      ASSERT_EQ(got.Level, want.Level) << "line " << i;
      ASSERT_EQ(got.Code, want.Code) << "line " << i;
      std::string_view want_value = i == kCharLine ? v.charset : original.Value(i);
      ASSERT_EQ(lines.Value(i), want_value) << "line " << i;
    }
  }
}

}  // namespace
}  // namespace voziroz
