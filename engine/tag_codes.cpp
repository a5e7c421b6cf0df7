#include "engine/tag_codes.h"

#include <algorithm>
#include <array>
#include <utility>

namespace voziroz {
namespace {

constexpr std::array<std::string_view, kLastTagCode + 1> kNames = {
    "NONE", "_UDF", "UNKNOWN", "BIRT", "BAPM", "BARM", "BASM", "BLES", "OCCU", "MARR",
    "DIV",  "CHRA", "FCOM",    "ORDN", "NATU", "PROB", "WILL", "RESI", "CHR",  "RETI",
    "DEAT", "CONF", "CENS",    "ENDL", "SLGC", "SLGS", "ADOP", "ENGA", "EVEN", "IMMI",
    "TITL", "EMIG", "GRAD",    "NATI", "PROP", "RELI", "FACT", "EDUC", "BURI", "AFN",
    "SURN", "GIVN", "NAME",    "FORM", "SEX",  "FILE", "DATE", "TIME", "CHAN", "HEAD",
    "VERS", "CORP", "ADDR",    "CONT", "CONC", "DEST", "GEDC", "CHAR", "LANG", "CTRY",
    "PHON", "EMAI", "FAMS",    "FAMC", "PLAC", "TEXT", "PUBL", "AUTH", "WIFE", "HUSB",
    "CHIL", "PEDI", "OBJE",    "PAGE", "REFN", "CAUS", "TRLR", "TYPE", "INDI", "REPO",
    "SUBM", "FAM",  "SOUR",    "NOTE", "COPR", "NICK", "CALN", "ASSO", "NSFX",
};

using Entry = std::pair<std::string_view, TagCode>;

// Every tag text that has a code, sorted by text for a binary search. The three aliases share
// the code of the name that CodeToTag gives back.
constexpr auto kLookup = [] {
  std::array<Entry, kLastTagCode - tag::UNKNOWN + 3> entries{};
  std::size_t n = 0;
  for (TagCode code = tag::BIRT; code <= kLastTagCode; ++code) entries[n++] = {kNames[code], code};
  entries[n++] = {"BAPL", tag::BAPM};
  entries[n++] = {"EMAIL", tag::EMAI};
  entries[n++] = {"LINAGE-LINKED", tag::FORM};
  std::sort(entries.begin(), entries.end());
  return entries;
}();

}  // namespace

TagCode TagToCode(std::string_view tag_text) {
  auto it = std::lower_bound(kLookup.begin(), kLookup.end(), tag_text,
                             [](const Entry& e, std::string_view t) { return e.first < t; });
  return (it != kLookup.end() && it->first == tag_text) ? it->second : TagCode{tag::UNKNOWN};
}

std::string_view CodeToTag(TagCode code) {
  code &= 0x7F;
  return code <= kLastTagCode ? kNames[code] : std::string_view("????");
}

}  // namespace voziroz
