// Dumps GEDCOM files as a script sees them through Voziroz.dll, in the JSON shape of the Linux
// tool's `voziroz dump`, so that the runner can compare the two platforms file by file. The list
// of files is scratch\dumps.txt, one "input|output" pair of Windows paths per line; each dump is
// written as UTF-16 text.

function jsonString(text) {
  var out = "\"";
  for (var i = 0; i < text.length; i++) {
    var c = text.charAt(i), code = text.charCodeAt(i);
    if (c === "\"" || c === "\\") out += "\\" + c;
    else if (code < 0x20) out += "\\u" + ("000" + code.toString(16)).slice(-4);
    else out += c;
  }
  return out + "\"";
}

// Numbers, booleans and text as themselves, Empty and Null as null, JScript arrays as lists.
function json(value) {
  if (value === null || value === undefined) return "null";
  if (typeof value === "number" || typeof value === "boolean") return String(value);
  if (typeof value === "string") return jsonString(value);
  var items = [];
  for (var i = 0; i < value.length; i++) items.push(json(value[i]));
  return "[" + items.join(", ") + "]";
}

// A two-dimensional safe array as a list of rows (a null array stays null).
function rowsOf(safeArray) {
  if (safeArray === null) return null;
  var grid = new VBArray(safeArray), rows = [];
  for (var r = 0; r <= grid.ubound(1); r++) {
    var row = [];
    for (var c = 0; c <= grid.ubound(2); c++) row.push(grid.getItem(r, c));
    rows.push(row);
  }
  return rows;
}

function dumpTable(parser, name) {
  var table = new ActiveXObject("Voziroz.Table");
  table.Open(name, parser);
  return "{\"key\": " + json(table.KeyColname) +
         ", \"columns\": " + json(elements(parser.GetTable(name, "fieldnames"))) +
         ", \"rows\": " + json(rowsOf(parser.GetTable(name, "rows"))) + "}";
}

function dump(file) {
  var parser = new ActiveXObject("Voziroz.Parser");
  parser.Open(file);
  var isOpen = parser.IsOpen, count = parser.LineCount, lines = [];
  for (var i = 0; i < count; i++) lines.push(json(elements(parser.Line(i)).slice(0, 3)));
  var text = "{\"isOpen\": " + json(isOpen) + ", \"lineCount\": " + count +
             ", \"lines\": [" + lines.join(", ") + "], \"metadata\": " +
             json(rowsOf(parser.Metadata()));
  var executed = isOpen && parser.Execute();
  text += ", \"execute\": " + json(executed) + ", \"tables\": {";
  var names = ["PERSON", "EVENT", "FAMILY", "SOURCE", "MULTIMEDIA"], tables = [];
  for (var t = 0; executed && t < names.length; t++)
    tables.push(jsonString(names[t]) + ": " + dumpTable(parser, names[t]));
  return text + tables.join(", ") + "}}";
}

var fso = new ActiveXObject("Scripting.FileSystemObject");
var list = fso.OpenTextFile(scratch + "\\dumps.txt", 1);
while (!list.AtEndOfStream) {
  var pair = list.ReadLine().split("|");
  group("dump " + pair[0], function () {
    var out = fso.CreateTextFile(pair[1], true, true);
    out.Write(dump(pair[0]));
    out.Close();
    passed++;
  });
}
list.Close();

finish();
