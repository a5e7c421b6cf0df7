// Parser and Table from JScript, every member by name, on samples\family.ged: states, lines,
// metadata, tables as arrays, a parser passed as an argument, ancestors, thumbnails, and the
// errors a script sees. The runner leaves a JPEG at scratch\source.jpg.
// Null arrays are checked in parser_test.vbs: Wine's JScript cannot read one (E_NOTIMPL).

var sample = root + "\\samples\\family.ged";
var kUnexpected = -2147418113;  // 0x8000FFFF

group("A new Parser", function () {
  var p = new ActiveXObject("Voziroz.Parser");
  check("IsOpen", p.IsOpen, false);
  check("LineCount", p.LineCount, 0);
  check("Line(0) is the trailer", elements(p.Line(0)).join("|"), "0|TRLR||");
  check("Execute", p.Execute(), false);
  check("DataLink", p.DataLink("PERSON"), 0);
  check("TableNames", elements(p.TableNames).join(","),
        "PERSON,EVENT,FAMILY,SOURCE,MULTIMEDIA,GEDCOM");
  check("GetAncestors range", elements(p.GetAncestors(1, 0)).join(","), "1,0");
  p.Close();
  p.IsOpen;  // a property read whose result is discarded (Wine calls it as a method)
});

group("Open, lines and metadata", function () {
  var p = new ActiveXObject("Voziroz.Parser");
  p.Open(sample);
  check("IsOpen", p.IsOpen, true);
  var count = p.LineCount;
  check("lines", count > 20, true);
  check("first line", elements(p.Line(0)).slice(0, 2).join(" "), "0 HEAD");
  check("trailer", elements(p.Line(count)).join("|"), "0|TRLR||");
  check("upper bound", new VBArray(p.Line(count - 1)).ubound(), 3);
  var metadata = new VBArray(p.Metadata());
  check("metadata dimensions", metadata.dimensions(), 2);
  check("metadata rows", metadata.ubound(1), 20);
  check("metadata columns", metadata.ubound(2), 2);
  p.Close();
  check("closed", p.IsOpen, false);
  check("closed LineCount", p.LineCount, 0);
  check("closed Line keeps the file", elements(p.Line(0))[1], "HEAD");
  p.Open(root + "\\samples\\no such file.ged");
  check("missing file has no lines", p.LineCount, 0);
  p.Open(null);
  check("Null name leaves it closed", p.IsOpen, false);
});

group("Execute and GetTable", function () {
  var p = new ActiveXObject("Voziroz.Parser");
  p.Open(sample);
  check("Execute", p.Execute(), true);
  var columns = elements(p.GetTable("PERSON", "fieldnames"));
  check("PERSON columns", columns.length, 9);
  check("omitted parameter", elements(p.GetTable("person")).join(), columns.join());
  var rows = new VBArray(p.GetTable("person", "ROWS"));
  check("rows dimensions", rows.dimensions(), 2);
  check("rows columns", rows.ubound(2), 8);
  check("row by number", elements(p.GetTable("PERSON", "0")).join(), String(
        [rows.getItem(0, 0), rows.getItem(0, 1), rows.getItem(0, 2), rows.getItem(0, 3),
         rows.getItem(0, 4), rows.getItem(0, 5), rows.getItem(0, 6), rows.getItem(0, 7),
         rows.getItem(0, 8)]));
  checkError("row -1", function () { p.GetTable("PERSON", "-1"); }, kUnexpected,
             "Range check error");
  check("DataLink", p.DataLink("person") !== 0, true);
  check("DataLink unknown", p.DataLink("NOPE"), 0);
});

group("Table reads a parser's table", function () {
  var t = new ActiveXObject("Voziroz.Table");
  check("new IsOpen", t.IsOpen, false);
  check("new RowCount", t.RowCount, -1);
  check("new ColCount", t.ColCount, -1);
  check("new FindRow", t.FindRow(1), -1);
  check("new KeyColname", t.KeyColname, "");

  var p = new ActiveXObject("Voziroz.Parser");
  p.Open(sample);
  t.Open("PERSON", p);
  check("before Execute", t.IsOpen, false);
  p.Execute();
  t.Open("person", p);
  check("IsOpen", t.IsOpen, true);
  check("ColCount", t.ColCount, 9);
  check("KeyColname", t.KeyColname, "IndiID");
  var names = elements(t.ColNames);
  check("ColNames", names.length, 9);
  var last = t.RowCount, first = elements(t.Row(0));
  check("last row", elements(t.Row(last)).length, 9);
  checkError("Row(-1)", function () { t.Row(-1); }, kUnexpected, "Range check error");
  checkError("past the last row", function () { t.Row(last + 1); }, kUnexpected,
             "Range check error");
  check("FindRow", t.FindRow(first[0]), 0);
  check("FindRow absent", t.FindRow(-999), -1);
  p.Close();
  check("keeps its rows after Close", elements(t.Row(0)).join(), first.join());
  t.Close();
  check("Close", t.IsOpen, false);

  p.Open(sample);
  t.Open("GEDCOM", p);
  check("lines table rows", t.RowCount, p.LineCount);
  checkError("lines table end", function () { t.Row(t.RowCount); }, kUnexpected,
             "Range check error");
  checkError("not a parser", function () { t.Open("PERSON", new ActiveXObject("Voziroz.Table")); },
             -2147352571);  // DISP_E_TYPEMISMATCH, refused before Open runs
});

group("Ancestors", function () {
  var p = new ActiveXObject("Voziroz.Parser");
  p.Open(sample);
  p.Execute();
  var range = elements(p.GetAncestors(-7, 0));
  check("unknown person", range.join(","), "1,0");
  var rows = new VBArray(p.GetTable("PERSON", "rows"));
  var deepest = 0, person = -1;
  for (var r = 0; r <= rows.ubound(1); r++) {
    var generations = elements(p.GetAncestors(rows.getItem(r, 0), 0))[1];
    if (generations > deepest) {
      deepest = generations;
      person = rows.getItem(r, 0);
    }
  }
  check("someone has parents", deepest > 0, true);
  var parents = elements(p.GetAncestors(person, 1));
  check("two parent slots", parents.length, 2);
  check("a known parent", parents[0] !== -1 || parents[1] !== -1, true);
  check("slots double", elements(p.GetAncestors(person, deepest)).length, Math.pow(2, deepest));
  check("past the deepest", elements(p.GetAncestors(person, deepest + 1)).join(","),
        "1," + deepest);
});

group("Thumbnail", function () {
  var p = new ActiveXObject("Voziroz.Parser");
  var fso = new ActiveXObject("Scripting.FileSystemObject");
  var target = scratch + "\\thumb.jpg";
  check("made", p.Thumbnail(scratch + "\\source.jpg", target, 32, 0, 0xFFFFFF), true);
  check("written", fso.FileExists(target), true);
  check("missing source", p.Thumbnail(scratch + "\\none.jpg", target, 32, 32, 0), false);
  check("source as its own target",
        p.Thumbnail(scratch + "\\source.jpg", scratch + "\\source.jpg", 32, 32, 0), false);
});

// Names that the code page (1252) cannot hold reach the system whole; a NUL ends no name early.
group("File names", function () {
  var p = new ActiveXObject("Voziroz.Parser");
  var fso = new ActiveXObject("Scripting.FileSystemObject");
  var lodz = scratch + "\\\u0141\u00F3d\u017A M\u00FCller.ged";  // Łódź Müller.ged
  fso.CopyFile(sample, lodz);
  p.Open(lodz);
  check("Open", p.IsOpen, true);
  var target = scratch + "\\\u041C\u0438\u043D\u0438.jpg";  // Мини.jpg
  check("Thumbnail", p.Thumbnail(scratch + "\\source.jpg", target, 32, 0, 0), true);
  check("thumbnail written", fso.FileExists(target), true);
  p.Open(sample + "\u0000.jpg");
  check("NUL refused", p.IsOpen, false);
});

finish();
