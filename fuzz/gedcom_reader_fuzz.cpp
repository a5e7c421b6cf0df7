// Fuzzes the reader on arbitrary file contents: decoding (byte-order marks, UTF-8/16/32, ANSEL,
// unmarked character sets) in both code pages, AnselToAnsi on its own, and PreParseLines on the
// decoded texts and the raw bytes. Aborts when a result breaks the reader's promises.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "engine/ansel.h"
#include "engine/gedcom_reader.h"
#include "engine/windows1252.h"

namespace {

using voziroz::TextBuffer;
using voziroz::TLines;

void Require(bool condition) {
  if (!condition) std::abort();
}

void CheckLines(const std::optional<TLines>& lines, voziroz::CodePage page) {
  if (!lines) return;
  Require(lines->Count >= 0 && static_cast<std::size_t>(lines->Count) == lines->Lines.size());
  for (const voziroz::TLine& line : lines->Lines) {
    std::string_view value = lines->Value(line);
    Require(line.Code > voziroz::tag::UNKNOWN && line.Code <= voziroz::kLastTagCode);
    Require(line.Level >= -9 && line.Level <= 99);
    Require(line.Joined || value.size() <= (page == voziroz::CodePage::Utf8 ? 4 * 255 : 255));
    // In UTF-8 a value is cut between characters, so the lines' text stays valid.
    Require(page == voziroz::CodePage::SingleByte || voziroz::IsValidUtf8(value));
    volatile char sink = value.empty() ? 0 : value.back();  // lets ASan check the view's end
    (void)sink;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);

  using voziroz::CodePage;
  for (CodePage page : {CodePage::SingleByte, CodePage::Utf8}) {
    TextBuffer text = voziroz::DecodeFileBytes(TextBuffer(bytes), page);
    Require(!text.empty());
    char last = text.data()[text.size() - 1];
    Require(last == '\r' || last == '\n');
    if (page == CodePage::SingleByte)
      Require(text.size() <= std::max(size + 2, voziroz::kFallbackText.size()));
    else
      Require(voziroz::IsValidUtf8(text.view()));
    CheckLines(voziroz::PreParseLines(std::move(text), page), page);
  }

  Require(voziroz::AnselToAnsi(bytes).size() <= size);
  CheckLines(voziroz::PreParseLines(TextBuffer(bytes), CodePage::SingleByte), CodePage::SingleByte);
  return 0;
}
