// voziroz dump FILE: prints, as one JSON document in UTF-8, what a new Parser shows after
// Open(FILE) and, when that opened the file, Execute; every value is read by calling the objects
// by name, as a script reads them:
//   {"isOpen": bool, "lineCount": int, "lines": [[level, "TAG", "value"], ...],
//    "metadata": [[c0, c1, c2], ... 21 rows], "execute": bool,
//    "tables": {"PERSON": {"key": "IndiID", "columns": [...], "rows": [[...], ...]}, "EVENT": ...,
//               "FAMILY": ..., "SOURCE": ..., "MULTIMEDIA": ...}}
// on one line, separators ", " and ": ", non-ASCII characters unescaped (the form of Python's
// json.dumps with ensure_ascii=False), then a line break. Integers are numbers, text strings
// (Windows-1252 converted to UTF-8), Empty null. "tables" is {} when Execute did not run or
// returned false.
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

#include "automation/call_by_name.h"
#include "automation/parser_object.h"
#include "automation/table_object.h"
#include "cli/commands.h"
#include "cli/gedcom_input.h"
#include "engine/windows1252.h"

namespace voziroz::cli {
namespace {

constexpr std::string_view kTableOrder[] = {"PERSON", "EVENT", "FAMILY", "SOURCE", "MULTIMEDIA"};

// Writes JSON to standard output in large pieces.
class JsonOut {
 public:
  void Raw(std::string_view text) {
    buffer_ += text;
    FlushWhenFull(buffer_);
  }
  void String(std::string_view ansi) {
    buffer_ += '"';
    for (char c : AnsiToUtf8(ansi)) AppendEscaped(c);
    buffer_ += '"';
  }
  void Number(std::int32_t n) { Raw(std::to_string(n)); }
  void Bool(bool b) { Raw(b ? "true" : "false"); }
  void Value(const Variant& value);
  void List(std::span<const Variant> items) {
    Raw("[");
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (i > 0) Raw(", ");
      Value(items[i]);
    }
    Raw("]");
  }
  // False when writing failed.
  bool Finish() { return FlushAll(buffer_); }

 private:
  void AppendEscaped(char c) {
    static constexpr char kHex[] = "0123456789abcdef";
    switch (c) {
      case '"':
        buffer_ += "\\\"";
        return;
      case '\\':
        buffer_ += "\\\\";
        return;
      case '\n':
        buffer_ += "\\n";
        return;
      case '\r':
        buffer_ += "\\r";
        return;
      case '\t':
        buffer_ += "\\t";
        return;
      case '\b':
        buffer_ += "\\b";
        return;
      case '\f':
        buffer_ += "\\f";
        return;
      default:
        if (static_cast<unsigned char>(c) >= 0x20) {
          buffer_ += c;
        } else {
          buffer_ += "\\u00";
          buffer_ += kHex[(c >> 4) & 0xF];
          buffer_ += kHex[c & 0xF];
        }
    }
  }

  std::string buffer_;
};

// Numbers and text as themselves, arrays as lists (two dimensions as a list of rows), anything
// else as null.
void JsonOut::Value(const Variant& value) {
  switch (value.Kind()) {
    case VariantKind::I1:
    case VariantKind::UI1:
    case VariantKind::I4:
      return Number(ToInt32(value));
    case VariantKind::Bool:
      return Bool(value.AsBool());
    case VariantKind::Text:
      return String(value.AsText());
    case VariantKind::Array: {
      const VariantArray& array = value.AsArray();
      if (array.Dimensions() == 1) return List(array.Elements());
      Raw("[");
      for (std::int32_t r = 0; r < array.Length(); ++r) {
        if (r > 0) Raw(", ");
        List(array.Elements().subspan(static_cast<std::size_t>(r) * array.Columns(),
                                      static_cast<std::size_t>(array.Columns())));
      }
      return Raw("]");
    }
    case VariantKind::Empty:
    case VariantKind::Null:
    case VariantKind::Error:
    case VariantKind::NullArray:
    case VariantKind::Object:
      return Raw("null");
  }
}

void DumpLines(AutomationObject& parser, std::int32_t line_count, JsonOut& out) {
  out.Raw("[");
  for (std::int32_t i = 0; i < line_count; ++i) {
    if (i > 0) out.Raw(", ");
    const Variant line = CallByName(parser, "Line", {Variant::I4(i)});
    out.List(line.AsArray().Elements().first(3));
  }
  out.Raw("]");
}

void DumpTable(const ObjectPtr<AutomationObject>& parser, std::string_view name, JsonOut& out) {
  const Variant table_name = Variant::Text(std::string(name));
  ObjectPtr<TTable> table = MakeObject<TTable>();
  CallByName(*table, "Open", {table_name, Variant::Object(parser)});
  out.Raw("{\"key\": ");
  out.Value(CallByName(*table, "KeyColname"));
  out.Raw(", \"columns\": ");
  out.Value(CallByName(*parser, "GetTable", {table_name, Variant::Text("fieldnames")}));
  out.Raw(", \"rows\": ");
  out.Value(CallByName(*parser, "GetTable", {table_name, Variant::Text("rows")}));
  out.Raw("}");
}

void Dump(const char* file_name, JsonOut& out) {
  const ObjectPtr<AutomationObject> parser = MakeObject<TParser>();
  CallByName(*parser, "Open", {Variant::Text(file_name)});
  const bool is_open = ToBool(CallByName(*parser, "IsOpen"));
  const std::int32_t line_count = ToInt32(CallByName(*parser, "LineCount"));
  out.Raw("{\"isOpen\": ");
  out.Bool(is_open);
  out.Raw(", \"lineCount\": ");
  out.Number(line_count);
  out.Raw(", \"lines\": ");
  DumpLines(*parser, line_count, out);
  out.Raw(", \"metadata\": ");
  out.Value(CallByName(*parser, "Metadata"));
  const bool executed = is_open && ToBool(CallByName(*parser, "Execute"));
  out.Raw(", \"execute\": ");
  out.Bool(executed);
  out.Raw(", \"tables\": {");
  for (std::size_t t = 0; executed && t < std::size(kTableOrder); ++t) {
    if (t > 0) out.Raw(", ");
    out.String(kTableOrder[t]);
    out.Raw(": ");
    DumpTable(parser, kTableOrder[t], out);
  }
  out.Raw("}}\n");
}

}  // namespace

int RunDump(std::span<char*> args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: voziroz dump FILE\n");
    return 2;
  }
  try {
    JsonOut out;
    Dump(args[0], out);
    if (!out.Finish()) {
      std::fprintf(stderr, "voziroz dump: cannot write the output\n");
      return 1;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "voziroz dump: %s\n", e.what());
    return 1;
  }
  return 0;
}

}  // namespace voziroz::cli
