#include "automation/parser_object.h"

#include <optional>
#include <string>
#include <vector>

#include "automation/metadata.h"
#include "automation/script_text.h"
#include "engine/gedcom_reader.h"
#include "imaging/thumbnail.h"

namespace voziroz {
namespace {

// Reads, pre-parses and summarises a file; nothing when it cannot be read or yields no line.
std::optional<TLines> LoadLines(const std::string& file_name) {
  LoadedText loaded = LoadFileText(file_name);
  if (!loaded.Readable) return std::nullopt;
  std::optional<TLines> lines = PreParseLines(std::move(loaded.Text));
  if (lines) ReadHeaderInfo(*lines);
  return lines;
}

}  // namespace

const MemberTable& TParser::Members() const {
  using K = MemberKind;
  static const MemberTable table =
      MemberTable(ParserClass())
          .Add<TParser>("Open", K::Method,
                        [](TParser& p, MemberArgs a) {
                          p.Open(a[0]);
                          return Variant();
                        })
          .Add<TParser>("Execute", K::Method,
                        [](TParser& p, MemberArgs) { return Variant::Bool(p.Execute()); })
          .Add<TParser>("Close", K::Method,
                        [](TParser& p, MemberArgs) {
                          p.Close();
                          return Variant();
                        })
          .Add<TParser>("IsOpen", K::PropertyGet,
                        [](TParser& p, MemberArgs) { return Variant::Bool(p.IsOpen()); })
          .Add<TParser>("DataLink", K::PropertyGet,
                        [](TParser& p, MemberArgs a) { return Variant::I4(p.DataLink(a[0])); })
          .Add<TParser>("GetTable", K::Method,
                        [](TParser& p, MemberArgs a) { return p.GetTable(a[0], a[1]); })
          .Add<TParser>("TableNames", K::PropertyGet,
                        [](TParser&, MemberArgs) { return TableNames(); })
          .Add<TParser>("Line", K::PropertyGet,
                        [](TParser& p, MemberArgs a) { return p.Line(a[0].AsI4()); })
          .Add<TParser>("LineCount", K::PropertyGet,
                        [](TParser& p, MemberArgs) { return Variant::I4(p.LineCount()); })
          .Add<TParser>("Metadata", K::Method, [](TParser& p, MemberArgs) { return p.Metadata(); })
          .Add<TParser>(
              "GetAncestors", K::PropertyGet,
              [](TParser& p, MemberArgs a) { return p.GetAncestors(a[0].AsI4(), a[1].AsI4()); })
          .Add<TParser>("Thumbnail", K::Method, [](TParser&, MemberArgs a) {
            return Variant::Bool(Thumbnail(a[0], a[1], a[2].AsI4(), a[3].AsI4(), a[4].AsI4()));
          });
  return table;
}

void TParser::Open(const Variant& file_name) {
  try {
    std::optional<TLines> lines = LoadLines(ToFileName(file_name));
    if (lines) parsed_ = std::move(*lines);
    opened_ = lines.has_value();
  } catch (...) {
    // Every failure of Open is reported by IsOpen alone.
    opened_ = false;
  }
}

void TParser::Close() {
  for (SharedTable* t :
       {&person_table_, &source_table_, &event_table_, &family_table_, &multimedia_table_})
    t->reset();
  opened_ = false;
}

std::int32_t TParser::LineCount() const {
  return opened_ ? parsed_.Count : 0;
}

Variant TParser::Line(std::int32_t line_nb) const {
  std::vector<Variant> elements;
  if (line_nb >= 0 && line_nb < parsed_.Count) {
    const TLine& line = parsed_.Lines[static_cast<std::size_t>(line_nb)];
    elements = {Variant::I4(line.Level), Variant::Text(std::string(CodeToTag(line.Code))),
                Variant::Text(std::string(parsed_.Value(line))), Variant()};
  } else {
    elements = {Variant::UI1(0), Variant::Text("TRLR"), Variant::Text(""), Variant()};
  }
  return Variant::Array(VariantArray(std::move(elements)));
}

Variant TParser::TableNames() {
  static const std::string kNames[] = {"PERSON", "EVENT",      "FAMILY",
                                       "SOURCE", "MULTIMEDIA", "GEDCOM"};
  return TextArray(kNames);
}

Variant TParser::Metadata() const {
  return MetadataGrid(parsed_, opened_);
}

bool TParser::Thumbnail(const Variant& source_filename, const Variant& target_filename,
                        std::int32_t width, std::int32_t height, std::int32_t fill_color) {
  std::string source, target;
  try {
    if (TryToFileName(source_filename, source) != Conversion::Ok ||
        TryToFileName(target_filename, target) != Conversion::Ok)
      return false;
  } catch (...) {
    // Out of memory while converting: a failed thumbnail like any other.
    return false;
  }
  return CreateThumbnail(source, target, width, height, fill_color);
}

}  // namespace voziroz
