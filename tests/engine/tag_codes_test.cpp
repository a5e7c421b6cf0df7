#include "engine/tag_codes.h"

#include <gtest/gtest.h>

namespace voziroz {
namespace {

TEST(TagCodes, AliasesShareTheCodeOfTheFirstName) {
  struct Case {
    const char* tag;
    TagCode code;
    const char* name;
  };
  const Case cases[] = {{"PROP", 34, "PROP"}, {"IMMI", 29, "IMMI"},          {"EMAIL", 61, "EMAI"},
                        {"BAPL", 4, "BAPM"},  {"LINAGE-LINKED", 43, "FORM"}, {"NSFX", 88, "NSFX"}};
  for (const Case& c : cases) {
    EXPECT_EQ(TagToCode(c.tag), c.code) << c.tag;
    EXPECT_EQ(CodeToTag(c.code), c.name) << c.tag;
  }
}

TEST(TagCodes, UnknownTagsGetCodeTwo) {
  for (const char* t : {"LINEAGE-LINKED", "_UDF", "_MILT", "birt", "Birt", " BIRT", "BIRTH", "",
                        "NONE", "UNKNOWN"}) {
    EXPECT_EQ(TagToCode(t), tag::UNKNOWN) << '"' << t << '"';
  }
}

TEST(TagCodes, CodeToTagIgnoresTheTopBit) {
  EXPECT_EQ(CodeToTag(210), "SOUR");
  EXPECT_EQ(CodeToTag(131), "BIRT");
  EXPECT_EQ(CodeToTag(89), "????");
  EXPECT_EQ(CodeToTag(127), "????");
  EXPECT_EQ(CodeToTag(0), "NONE");
}

TEST(TagCodes, EveryNamedCodeRoundTrips) {
  for (int code = 3; code <= kLastTagCode; ++code) {
    EXPECT_EQ(TagToCode(CodeToTag(static_cast<TagCode>(code))), code) << code;
  }
  EXPECT_TRUE(IsEventCode(tag::BIRT));
  EXPECT_TRUE(IsEventCode(tag::BURI));
  EXPECT_FALSE(IsEventCode(tag::AFN));
}

}  // namespace
}  // namespace voziroz
