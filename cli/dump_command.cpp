// voziroz dump FILE: prints, as one JSON document in UTF-8, what a new Parser shows after
// Open(FILE) and, when that opened the file, Execute; every value is read by calling the objects
// of the server library by name through the C interface, as a script host reads them, so the
// document holds what scripts receive after the VARIANT and BSTR conversions:
//   {"isOpen": bool, "lineCount": int, "lines": [[level, "TAG", "value"], ...],
//    "metadata": [[c0, c1, c2], ... 21 rows], "execute": bool,
//    "tables": {"PERSON": {"key": "IndiID", "columns": [...], "rows": [[...], ...]}, "EVENT": ...,
//               "FAMILY": ..., "SOURCE": ..., "MULTIMEDIA": ...}}
// on one line, separators ", " and ": ", non-ASCII characters unescaped (the form of Python's
// json.dumps with ensure_ascii=False), then a line break. Integers are numbers, text strings,
// Empty null. "tables" is {} when Execute did not run or returned false. The document is printed
// for a file that cannot be opened too ("isOpen": false), and the exit status is then 1.
#include <cstdio>
#include <string>
#include <string_view>

#include "cli/commands.h"
#include "cli/gedcom_input.h"
#include "cli/input_file.h"
#include "cli/server_library.h"

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
  void String(std::string_view utf8) {
    buffer_ += '"';
    for (char c : utf8) AppendEscaped(c);
    buffer_ += '"';
  }
  void Number(std::int32_t n) { Raw(std::to_string(n)); }
  void Bool(bool b) { Raw(b ? "true" : "false"); }
  void Value(const VARIANT& value);
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
void JsonOut::Value(const VARIANT& value) {
  switch (value.vt) {
    case VT_I1:
    case VT_UI1:
    case VT_I2:
    case VT_I4:
      return Number(IntOf(value));
    case VT_BOOL:
      return Bool(BoolOf(value));
    case VT_BSTR:
      return String(TextOf(value));
    case VT_ARRAY | VT_VARIANT: {
      const ArrayView array(value);
      Raw("[");
      for (std::int32_t r = 0; r < array.Rows(); ++r) {
        if (r > 0) Raw(", ");
        if (array.Dimensions() == 1) {
          Value(array.At(r));
          continue;
        }
        Raw("[");
        for (std::int32_t c = 0; c < array.Columns(); ++c) {
          if (c > 0) Raw(", ");
          Value(array.At(r, c));
        }
        Raw("]");
      }
      return Raw("]");
    }
    default:
      return Raw("null");
  }
}

void DumpLines(ScriptObject& parser, std::int32_t line_count, JsonOut& out) {
  out.Raw("[");
  for (std::int32_t i = 0; i < line_count; ++i) {
    if (i > 0) out.Raw(", ");
    const OwnedVariant line = parser.Call("Line", {i});
    const ArrayView fields(line.get());
    out.Raw("[");
    for (std::int32_t f = 0; f < 3; ++f) {
      if (f > 0) out.Raw(", ");
      out.Value(fields.At(f));
    }
    out.Raw("]");
  }
  out.Raw("]");
}

void DumpTable(ScriptObject& parser, std::string_view name, JsonOut& out) {
  ScriptObject table = CreateFromServer(CLSID_Table);
  table.Call("Open", {name, parser.get()});
  out.Raw("{\"key\": ");
  out.Value(table.Call("KeyColname").get());
  out.Raw(", \"columns\": ");
  out.Value(parser.Call("GetTable", {name, std::string_view("fieldnames")}).get());
  out.Raw(", \"rows\": ");
  out.Value(parser.Call("GetTable", {name, std::string_view("rows")}).get());
  out.Raw("}");
}

// Prints the document; false when the file did not open.
bool Dump(const InputFile& input, JsonOut& out) {
  ScriptObject parser = CreateFromServer(CLSID_Parser);
  parser.Call("Open", {std::string_view(input.Path())});
  const bool is_open = BoolOf(parser.Call("IsOpen").get());
  const std::int32_t line_count = IntOf(parser.Call("LineCount").get());
  out.Raw("{\"isOpen\": ");
  out.Bool(is_open);
  out.Raw(", \"lineCount\": ");
  out.Number(line_count);
  out.Raw(", \"lines\": ");
  DumpLines(parser, line_count, out);
  out.Raw(", \"metadata\": ");
  out.Value(parser.Call("Metadata").get());
  const bool executed = is_open && BoolOf(parser.Call("Execute").get());
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
  return is_open;
}

}  // namespace

int RunDump(const Options& options) {
  const InputFile input(options.file);
  JsonOut out;
  const bool opened = Dump(input, out);
  if (!out.Finish()) {
    std::fprintf(stderr, "voziroz dump: cannot write the output\n");
    return 1;
  }
  return opened ? 0 : ReportOpenFailure("dump", input);
}

}  // namespace voziroz::cli
