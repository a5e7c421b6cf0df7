// TLines and TLine: the pre-parsed picture of an open GEDCOM file.
//
// A TLines owns the decoded file text and keeps each line's value as a view into it, so a file
// of N lines costs the text plus 16 bytes a line. A value that CONT or CONC lines extended lives
// in a second buffer of joined values. Copying a TLines copies both buffers and shares nothing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/tag_codes.h"
#include "engine/text_buffer.h"

namespace voziroz {

struct TLine {
  std::uint64_t Offset = 0;  // of the value's first byte in its buffer
  std::uint32_t Length = 0;  // of the value in bytes
  std::int8_t Level = -1;    // -9 to 99; -1 also when the line had no level number
  TagCode Code = tag::NONE;  // never 1 or 2: such lines are not stored
  bool Joined = false;       // the value lives in JoinedValues rather than Text
  // One of the lines this one stands under was dropped by the pre-parse: the line is kept for
  // Line and the lines table, but the table builder and the header pass skip it.
  bool BelowDropped = false;
};

struct TLines {
  std::int32_t Count = 0;  // number of entries in Lines
  std::int32_t PersonEstimate = 1;
  std::int32_t FamilyEstimate = 1;
  std::int32_t EventEstimate = 1;
  std::int32_t MultimediaEstimate = 1;
  std::int32_t SourceEstimate = 1;

  // Header summary, filled by the metadata report; the pre-parse leaves them empty.
  std::string Source, Target, Format, Language, Charset, Filename, Filedate, Submitter, Notes;

  std::vector<TLine> Lines;
  TextBuffer Text;          // the decoded file text that plain values point into
  TextBuffer JoinedValues;  // values extended by CONT and CONC

  std::string_view Value(const TLine& line) const {
    const TextBuffer& buffer = line.Joined ? JoinedValues : Text;
    return {buffer.data() + line.Offset, line.Length};
  }
  std::string_view Value(std::int32_t index) const { return Value(Lines[index]); }
};

}  // namespace voziroz
