#include "vozcom/registry_contents.h"

#include <gtest/gtest.h>

namespace voziroz {
namespace {

TEST(RegistryContents, ReadsValuesAndKeepsEveryOtherLineInItsPlace) {
  const std::string text =
      "# written by hand\n"
      "CLSID\\{X}\t\tParser\n"
      "\n"
      "a line without tabs\n"
      "CLSID\\{X}\\InprocServer32\tThreadingModel\tApartment\n"
      "too\tmany\ttabs\there\n"
      "\\leading\tname\tvalue\n";
  const RegistryContents contents = RegistryContents::Parse(text);
  const std::vector<StoredValue> expected = {
      {"CLSID\\{X}", "", "Parser"},
      {"CLSID\\{X}\\InprocServer32", "ThreadingModel", "Apartment"},
  };
  EXPECT_EQ(contents.Values(), expected);
  EXPECT_EQ(contents.Serialize(), text);
}

TEST(RegistryContents, AcceptsCarriageReturnLineEndsAndAMissingLastLineFeed) {
  const RegistryContents contents = RegistryContents::Parse("A\t\t1\r\nB\tn\t2");
  const std::vector<StoredValue> expected = {{"A", "", "1"}, {"B", "n", "2"}};
  EXPECT_EQ(contents.Values(), expected);
  EXPECT_EQ(contents.Serialize(), "A\t\t1\nB\tn\t2\n");
}

TEST(RegistryContents, KeysAndNamesCompareWithoutCaseAndKeepTheirFirstSpelling) {
  RegistryContents contents;
  contents.Set("Voziroz.Parser\\Clsid", "", "{1}");
  contents.Set("VOZIROZ.PARSER\\CLSID", "", "{2}");
  contents.Set("CLSID\\{X}\\InprocServer32", "ThreadingModel", "Both");
  contents.Set("clsid\\{x}\\inprocserver32", "threadingmodel", "Apartment");
  ASSERT_NE(contents.Find("voziroz.parser\\clsid", ""), nullptr);
  EXPECT_EQ(*contents.Find("voziroz.parser\\clsid", ""), "{2}");
  EXPECT_EQ(contents.Find("voziroz.parser\\clsid", "x"), nullptr);
  EXPECT_EQ(
      contents.Serialize(),
      "Voziroz.Parser\\Clsid\t\t{2}\nCLSID\\{X}\\InprocServer32\tThreadingModel\tApartment\n");
}

TEST(RegistryContents, DeletingAKeyRemovesItsOwnValuesButNotItsSubkeys) {
  RegistryContents contents;
  contents.Set("CLSID\\{X}", "", "x");
  contents.Set("CLSID\\{X}\\ProgID", "", "P");
  contents.Set("CLSID\\{X}", "Extra", "e");
  contents.Set("CLSID\\{X}Y", "", "neighbour");
  EXPECT_EQ(contents.DeleteKey("clsid\\{x}"), 2u);
  EXPECT_EQ(contents.DeleteKey("CLSID\\{absent}"), 0u);
  const std::vector<StoredValue> expected = {{"CLSID\\{X}\\ProgID", "", "P"},
                                             {"CLSID\\{X}Y", "", "neighbour"}};
  EXPECT_EQ(contents.Values(), expected);
}

TEST(RegistryContents, RefusesWhatTheFormatCannotHold) {
  struct Case {
    std::string key, name, value, message;
  };
  const Case kCases[] = {
      {"", "", "v", "not a registry key: \"\""},
      {"\\CLSID", "", "v", "not a registry key: \"\\CLSID\""},
      {"CLSID\\", "", "v", "not a registry key: \"CLSID\\\""},
      {"CLSID\\\\X", "", "v", "not a registry key: \"CLSID\\\\X\""},
      {"A\tB", "", "v", "a registry key cannot hold a tab, a line break or NUL"},
      {"A", "n\nm", "v", "a registry value name cannot hold a tab, a line break or NUL"},
      {"A", "", "/path\rx", "a registry value cannot hold a tab, a line break or NUL"},
      {"A", "", std::string("a\0b", 3), "a registry value cannot hold a tab, a line break or NUL"},
  };
  for (const Case& c : kCases) {
    RegistryContents contents;
    try {
      contents.Set(c.key, c.name, c.value);
      ADD_FAILURE() << "accepted " << c.key;
    } catch (const BadRegistryField& e) {
      EXPECT_EQ(e.what(), c.message);
    }
    EXPECT_TRUE(contents.Values().empty());
  }
}

}  // namespace
}  // namespace voziroz
