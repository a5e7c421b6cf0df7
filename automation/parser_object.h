// TParser, the Parser object (ProgID "Voziroz.Parser"): opens a GEDCOM file, builds its tables
// and serves lines, tables and metadata to scripts.
//
// State: the lines of the last file that opened successfully (only a successful Open replaces
// them), the open flag, and shared tables: the five of the last Execute (dropped by Close and
// replaced by the next Execute, not by Open) and the lines table of the last DataLink("GEDCOM").
// Tables are shared with the Table objects opened on them and live until the last holder lets go.
// Besides, the pedigree of the last person asked for by GetAncestors, which only a request for
// another person replaces (Open, Execute and Close leave it).
#pragma once

#include <cstdint>
#include <string_view>

#include "automation/dispatch.h"
#include "automation/table_handles.h"
#include "automation/variant.h"
#include "engine/ancestors.h"
#include "engine/gedcom_lines.h"

namespace voziroz {

class TParser final : public AutomationObject {
 public:
  const MemberTable& Members() const override;

  // Loads, pre-parses and reads the header of the file that `file_name` names (the script's exact
  // string, automation/script_text.h). Never throws: a name that is no text or holds NUL, a file
  // that cannot be read, a text without a single stored line, or exhausted memory leave the
  // parser closed and everything else as it was.
  void Open(const Variant& file_name);
  // Drops the five tables of Execute and closes; the lines and the lines table stay.
  void Close();
  bool IsOpen() const { return opened_; }
  // The number of lines when open, else 0.
  std::int32_t LineCount() const;
  // {Level (I4), tag (Text), value (Text), Empty} of line `line_nb` of the last file that opened;
  // {0 (UI1), "TRLR", "", Empty}, the trailer, for a number outside the lines (also negative).
  Variant Line(std::int32_t line_nb) const;
  // "PERSON", "EVENT", "FAMILY", "SOURCE", "MULTIMEDIA", "GEDCOM".
  static Variant TableNames();
  Variant Metadata() const;

  // Builds the five tables from the lines; false when not open or the builder fails.
  bool Execute();
  // The handle of the table named by the text of `table_name` (any case): one of the five
  // (0 when absent), or a new lines table for "GEDCOM"; 0 for any other name.
  std::int32_t DataLink(const Variant& table_name);
  // Column names, the whole table ("rows", two dimensions) or one row (a row number) of one of the
  // five tables; a null array for another name, an absent table or another parameter. An omitted
  // parameter acts as an empty one. A row number outside the rows throws "Range check error".
  Variant GetTable(const Variant& table_name, const Variant& parameter) const;

  // The ancestors of person `id` in generation `generation`, from the EVENT and FAMILY tables of
  // the last Execute (none: nobody has known parents). The pedigree held is reused when it is
  // that person's, else built anew and kept only when the build succeeds. For a generation g in
  // 1 to the deepest known: 2^g I4 identifiers in pedigree order, -1 for an unknown ancestor;
  // for any other generation the range pair {1 (UI1), deepest known generation (I4)}. Throws an
  // AutomationError "Generation g is too large: n ancestors" when the generation holds more
  // than kMaxSlotsPerRequest slots, and the conversion error of an identifier cell that holds
  // no number; the pedigree held stays usable either way.
  Variant GetAncestors(std::int32_t id, std::int32_t generation);

  // Makes a JPEG thumbnail (imaging/thumbnail.h; fill colour 0xRRGGBB) of the file that
  // `source_filename` names in the one that `target_filename` names (as Open names its file).
  // False on any failure, also when a name is no text (Null); never throws. Needs no open file.
  static bool Thumbnail(const Variant& source_filename, const Variant& target_filename,
                        std::int32_t width, std::int32_t height, std::int32_t fill_color);

  const TLines& Parsed() const { return parsed_; }
  // The table of Execute named `upper_name` ("PERSON", ...); null when absent or no such name.
  SharedTable TableNamed(std::string_view upper_name) const;

 private:
  TLines parsed_;
  SharedTable person_table_;
  SharedTable source_table_;
  SharedTable event_table_;
  SharedTable family_table_;
  SharedTable multimedia_table_;
  SharedTable lines_table_;
  TAncestors ancestors_;
  bool opened_ = false;
};

}  // namespace voziroz
