// Tag codes: the one-byte numbers that stand for the GEDCOM tags the engine knows.
// The numbering is fixed: stored lines, the table builder and the code-to-name lookup depend on it.
#pragma once

#include <cstdint>
#include <string_view>

namespace voziroz {

using TagCode = std::uint8_t;

// Codes 3 to 38 are the individual and family event and attribute tags.
namespace tag {
enum : TagCode {
  NONE,
  _UDF,
  UNKNOWN,
  BIRT,
  BAPM,
  BARM,
  BASM,
  BLES,
  OCCU,
  MARR,
  DIV,
  CHRA,
  FCOM,
  ORDN,
  NATU,
  PROB,
  WILL,
  RESI,
  CHR,
  RETI,
  DEAT,
  CONF,
  CENS,
  ENDL,
  SLGC,
  SLGS,
  ADOP,
  ENGA,
  EVEN,
  IMMI,
  TITL,
  EMIG,
  GRAD,
  NATI,
  PROP,
  RELI,
  FACT,
  EDUC,
  BURI,
  AFN,
  SURN,
  GIVN,
  NAME,
  FORM,
  SEX,
  FILE_,
  DATE,
  TIME,
  CHAN,
  HEAD,
  VERS,
  CORP,
  ADDR,
  CONT,
  CONC,
  DEST,
  GEDC,
  CHAR,
  LANG,
  CTRY,
  PHON,
  EMAI,
  FAMS,
  FAMC,
  PLAC,
  TEXT,
  PUBL,
  AUTH,
  WIFE,
  HUSB,
  CHIL,
  PEDI,
  OBJE,
  PAGE,
  REFN,
  CAUS,
  TRLR,
  TYPE,
  INDI,
  REPO,
  SUBM,
  FAM,
  SOUR,
  NOTE,
  COPR,
  NICK,
  CALN,
  ASSO,
  NSFX,
};
}  // namespace tag

inline constexpr TagCode kLastTagCode = tag::NSFX;  // 88

inline constexpr bool IsEventCode(TagCode code) {
  return code >= tag::BIRT && code <= tag::BURI;
}

// The code of a tag, compared byte for byte (no trimming, no case folding); 2 for any other tag.
TagCode TagToCode(std::string_view tag_text);

// The name of a code (top bit ignored); "????" for 89 to 127.
std::string_view CodeToTag(TagCode code);

}  // namespace voziroz
