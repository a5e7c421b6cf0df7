// Fuzzes the table builder on the lines of arbitrary text: every build must succeed and leave five
// finished tables (LastRow + 1 rows, each of its layout's width, keys in ascending order, every
// text cell readable). Aborts when a result breaks that promise.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "engine/gedcom_reader.h"
#include "engine/simple_table.h"
#include "engine/table_builder.h"
#include "engine/table_layouts.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

void CheckFinished(const voziroz::tSimpleTable& table, const voziroz::TableLayout& layout) {
  Require(table.ColCount == static_cast<std::int32_t>(layout.ColNames.size()));
  Require(table.KeyCol == layout.KeyCol);
  Require(table.LastRow >= 0 && table.RowsAllocated() == table.LastRow + 1);
  for (std::int32_t r = 0; r <= table.LastRow; ++r) {
    if (r > 0) Require(table.KeyOf(r - 1) <= table.KeyOf(r));
    for (std::int32_t c = 0; c < table.ColCount; ++c) {
      const voziroz::Cell& cell = table.At(r, c);
      if (cell.Kind != voziroz::CellKind::Text) continue;
      std::string_view text = table.TextOf(cell);
      volatile char sink = text.empty() ? 0 : text.back();  // lets ASan check the view's end
      (void)sink;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::optional<voziroz::TLines> lines = voziroz::PreParseLines(voziroz::TextBuffer(bytes));
  if (!lines) return 0;
  voziroz::tSimpleTable person, event, family, source, multimedia;
  Require(voziroz::BuildTables(*lines, person, event, family, source, multimedia));
  CheckFinished(person, voziroz::kPersonLayout);
  CheckFinished(event, voziroz::kEventLayout);
  CheckFinished(family, voziroz::kFamilyLayout);
  CheckFinished(source, voziroz::kSourceLayout);
  CheckFinished(multimedia, voziroz::kMultimediaLayout);
  return 0;
}
