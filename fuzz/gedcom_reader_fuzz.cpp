// Fuzzes the reader on arbitrary file contents: decoding (byte-order marks, UTF-8/16/32, ANSEL,
// unmarked character sets), AnselToAnsi on its own, and PreParseLines on both the decoded text
// and the raw bytes. Aborts when a result breaks the reader's promises.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "engine/ansel.h"
#include "engine/gedcom_reader.h"

namespace {

using voziroz::TextBuffer;
using voziroz::TLines;

void Require(bool condition) {
  if (!condition) std::abort();
}

void CheckLines(const std::optional<TLines>& lines) {
  if (!lines) return;
  Require(lines->Count >= 0 && static_cast<std::size_t>(lines->Count) == lines->Lines.size());
  for (const voziroz::TLine& line : lines->Lines) {
    std::string_view value = lines->Value(line);
    Require(line.Code > voziroz::tag::UNKNOWN && line.Code <= voziroz::kLastTagCode);
    Require(line.Level >= -9 && line.Level <= 99);
    Require(line.Joined || value.size() <= 255);
    volatile char sink = value.empty() ? 0 : value.back();  // lets ASan check the view's end
    (void)sink;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);

  TextBuffer text = voziroz::DecodeFileBytes(TextBuffer(bytes));
  Require(!text.empty());
  char last = text.data()[text.size() - 1];
  Require(last == '\r' || last == '\n');
  Require(text.size() <= std::max(size + 2, voziroz::kFallbackText.size()));
  CheckLines(voziroz::PreParseLines(std::move(text)));

  Require(voziroz::AnselToAnsi(bytes).size() <= size);
  CheckLines(voziroz::PreParseLines(TextBuffer(bytes)));
  return 0;
}
