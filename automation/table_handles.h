// Table handles: the 32-bit numbers by which a Parser hands one of its tables to a Table object
// (Parser.DataLink, then Table.Open), in place of the table's address.
//
// A handle is a positive number; 0 stands for no table. The registry keeps no table alive: a
// handle resolves to the table while some holder (a parser or a Table object) still has it, and
// to nothing once the last holder let go or for a number that was never given out. Handles are
// process-wide and may be used from any thread.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/simple_table.h"

namespace voziroz {

using SharedTable = std::shared_ptr<const tSimpleTable>;

// The handle of `table`: the same number every time for the same live table; 0 for null.
std::int32_t TableHandleOf(const SharedTable& table);

// The table that `handle` designates, or null when it designates none (any more).
SharedTable ResolveTableHandle(std::int32_t handle);

}  // namespace voziroz
