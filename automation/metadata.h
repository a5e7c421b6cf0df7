// The metadata report of a Parser: the header pass that fills the nine header strings of a
// TLines, and the 21-by-3 grid that Parser.Metadata returns.
#pragma once

#include "automation/variant.h"
#include "engine/gedcom_lines.h"

namespace voziroz {

// Fills Source, Target, Format, Language, Charset, Filename, Filedate, Submitter and Notes of
// `lines` from the HEAD and SUBM records before the first INDI line (each emptied first). No level
// stops the pass: a line deeper than 5 belongs to the structure above it.
void ReadHeaderInfo(TLines& lines);

// The grid (rows 0 to 20, columns 0 to 2): row estimates, line count, the nine header strings and
// the column lists. Every element is Empty when `opened` is false.
Variant MetadataGrid(const TLines& lines, bool opened);

}  // namespace voziroz
