// The table builder: one pass over the pre-parsed lines of a GEDCOM file fills the PERSON, EVENT,
// FAMILY, SOURCE and MULTIMEDIA tables (layouts in engine/table_layouts.h), then each table is
// cut to size and sorted by its key column.
//
// Records understood: INDI (persons, with their events, family links and objects), FAM (family
// members and the MARR, DIV and ENGA events) and SOUR (sources and their objects); every other
// record adds nothing. Links are integer identifiers made from cross-reference identifiers
// (engine/record_ids.h); family identifiers carry kIdOffset (500000). Lines that stand below a
// dropped line are skipped.
//
// Engine error model: nothing is reported for bad values (an identifier of -1, a date key of
// "00000000", empty text are stored instead); no exception escapes.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/code_page.h"
#include "engine/gedcom_lines.h"
#include "engine/record_ids.h"
#include "engine/simple_table.h"

namespace voziroz {

// The PERSON table holds at most this many rows; INDI records beyond it are skipped whole.
inline constexpr std::int32_t kMaxPersonRows = 500001;

// Fills the five tables (each is laid out afresh, whatever it held) from `lines`, which are only
// read. True when every line was read and every table finished and sorted. False only when memory
// ran out; the tables then hold what was made so far, unfinished, and must not be read.
// Building twice from the same lines gives equal tables. `page` is the code page of the lines'
// text (Sex takes its first character, date keys count characters).
bool BuildTables(const TLines& lines, tSimpleTable& person, tSimpleTable& event,
                 tSimpleTable& family, tSimpleTable& source, tSimpleTable& multimedia,
                 CodePage page = TheCodePage());

// Name parts of a NAME value such as "John /Smith/ Jr.", as views into it, trimmed.
// The surname is the text between the first slash and the next one (or the end when there is no
// second slash); empty when the name has no slash.
std::string_view SurnameOf(std::string_view name);
// The given name is the text before the first slash; empty when the name has no slash.
std::string_view GivenNameOf(std::string_view name);

}  // namespace voziroz
