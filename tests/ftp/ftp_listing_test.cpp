#include "ftp/ftp_listing.h"

#include <gtest/gtest.h>

namespace voziroz::ftp {
namespace {

using Lines = std::vector<std::string>;

// One listing line and the script line it gives ("" when the line is skipped).
struct LineCase {
  const char* listing;
  const char* expected;
};

std::string OnlyLine(const std::vector<ListEntry>& entries) {
  if (entries.size() > 1) return "more than one entry";
  return entries.empty() ? "" : ListLine(entries[0]);
}

TEST(FtpListing, ListLinesInUnixForm) {
  const LineCase cases[] = {
      {"-rw-r--r--   1 owner group          12 Dec 09 09:02 a.txt", "a.txt\t12"},
      {"drwxr-xr-x   2 owner group        4096 Dec  9 09:06 docs", "/docs"},
      {"-rw-r--r--   1 owner group           5 Jan  1  2019 old file.txt", "old file.txt\t5"},
      {"-rw-r--r--   1 owner    7 Mar 10 10:00 no group", "no group\t7"},
      {"lrwxrwxrwx   1 owner group           9 Feb 02 12:00 link -> target", "link\t9"},
      {"-rw-r--r--   1 owner group 6000000000 Feb 02 12:00 big.iso", "big.iso\t6000000000"},
      {"-rw-r--r--   1 owner group          3 Feb 02 12:00  leading space", " leading space\t3"},
      {"-rw-r--r--   1 owner group          3 Feb 02 12:00 Dec 09 09:02 x", "Dec 09 09:02 x\t3"},
      {"drwxr-xr-x   2 owner group        4096 Dec  9 09:06 .", "/."},
      {"lrwxrwxrwx   1 owner group           9 Feb 02 12:00  -> target", ""},
      {"total 12", ""},
      {"-rw-r--r--   1 owner group         -1 Dec 09 09:02 negative", ""},
      {"-rw-r--r--   1 owner group          12 Dec 09 09:02", ""},
      {"-rw-r--r--   1 owner group          12 Foo 09 09:02 a.txt", ""},
  };
  for (const LineCase& c : cases)
    EXPECT_EQ(OnlyLine(ParseList(c.listing)), c.expected) << c.listing;
}

TEST(FtpListing, ListLinesInDosForm) {
  const LineCase cases[] = {
      {"12-09-26  09:06AM       <DIR>          docs", "/docs"},
      {"12-09-26  09:06PM                   12 a.txt", "a.txt\t12"},
      {"12/09/2026  21:06                  34 two  spaces.txt", "two  spaces.txt\t34"},
      {"12-09-26  09:06AM       <dir>          lower", "/lower"},
      {"12-09-26  09:06AM                 12x bad size", ""},
      {"12-09-26  noon                     12 bad time", ""},
      {"12-09-26  09:06AM                   12", ""},
  };
  for (const LineCase& c : cases)
    EXPECT_EQ(OnlyLine(ParseList(c.listing)), c.expected) << c.listing;
}

TEST(FtpListing, MlsdLines) {
  const LineCase cases[] = {
      {"type=file;size=12;modify=20261209090647;perm=radfwMT; a.txt", "a.txt\t12"},
      {"modify=20261209090647;perm=flcdmpe;type=dir;unique=806U1; docs", "/docs"},
      {"Type=DIR;Size=4096; upper facts", "/upper facts"},
      {"type=file;size=3; name; with; semicolons", "name; with; semicolons\t3"},
      {"type=file; no size", "no size\t0"},
      {"size=5; no type", "no type\t5"},
      {"type=OS.unix=symlink;size=9; link", "link\t9"},
      {"type=cdir;perm=el; /the/listed/folder", ""},
      {"type=pdir;perm=el; ..", ""},
      {"type=file;size=6000000000; big.iso", "big.iso\t6000000000"},
      {"no facts here", ""},
      {"type=file;size=1;", ""},
  };
  for (const LineCase& c : cases)
    EXPECT_EQ(OnlyLine(ParseMlsd(c.listing)), c.expected) << c.listing;
}

TEST(FtpListing, EveryLineEndAndEmptyLinesAreAccepted) {
  std::string data = "type=file;size=1; one\r\n\r\ntype=dir; two\ntype=file;size=3; three";
  std::vector<ListEntry> entries = ParseMlsd(data);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(ListLine(entries[0]), "one\t1");
  EXPECT_EQ(ListLine(entries[1]), "/two");
  EXPECT_EQ(ListLine(entries[2]), "three\t3");
  EXPECT_TRUE(ParseList("").empty());
  EXPECT_TRUE(ParseList(std::string("\0\xff\n\r", 4)).empty());
}

TEST(FtpListing, SortIgnoresCaseAndMixesFoldersWithFiles) {
  Lines lines = {"b.txt\t1",     "B.txt\t1", "/Docs",        "A.txt\t2",     "a.txt\t3", "/apps",
                 "\xC9t\xE9\t4", "_x\t5",    "a.txt.bak\t6", "\xE9t\xE9\t7", "Z\t8"};
  SortIgnoringCase(lines);
  EXPECT_EQ(lines, (Lines{"/apps", "/Docs", "_x\t5", "A.txt\t2", "a.txt\t3", "a.txt.bak\t6",
                          "B.txt\t1", "b.txt\t1", "Z\t8", "\xC9t\xE9\t4", "\xE9t\xE9\t7"}));
}

}  // namespace
}  // namespace voziroz::ftp
