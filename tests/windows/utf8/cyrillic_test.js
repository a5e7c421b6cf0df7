// Run in the UTF-8 code page (VOZIROZ_CODE_PAGE=utf-8, the system's own left at 1252): the
// Cyrillic names of a UTF-8 file reach the script whole, in lines and in tables, and a file with
// a Cyrillic name opens. The runner leaves a copy of the file at scratch\Иванов.ged.

var ivanovFile = root + "\\tests\\data\\ivanov-utf8.ged";
var ivanov = "\u0418\u0432\u0430\u043D\u043E\u0432";                                   // Иванов
var ivanPetrovich = "\u0418\u0432\u0430\u043D \u041F\u0435\u0442\u0440\u043E\u0432\u0438\u0447";
var note = "\u0421\u043B\u0443\u0436\u0438\u043B \u043D\u0430 \u0411\u0430\u043B\u0442\u0438" +
           "\u0439\u0441\u043A\u043E\u043C \u0444\u043B\u043E\u0442\u0435.";  // Служил на ...

// Text with every character outside ASCII as \uXXXX, so that a failure reads clearly whatever the
// console's code page.
function escaped(text) {
  return String(text).replace(/[^\x20-\x7E]/g, function (c) {
    return "\\u" + ("000" + c.charCodeAt(0).toString(16).toUpperCase()).slice(-4);
  });
}

function checkText(name, actual, expected) {
  check(name, escaped(actual), escaped(expected));
}

// The PERSON row of the person with identifier `id`.
function personRow(parser, id) {
  var table = new ActiveXObject("Voziroz.Table");
  table.Open("PERSON", parser);
  return elements(table.Row(table.FindRow(id)));
}

group("Lines of a UTF-8 file", function () {
  var p = new ActiveXObject("Voziroz.Parser");
  p.Open(ivanovFile);
  check("IsOpen", p.IsOpen, true);
  checkText("NAME line", elements(p.Line(15)).slice(0, 3).join("|"),
            "1|NAME|" + ivanPetrovich + " /" + ivanov + "/");
});

group("Names in the PERSON table", function () {
  var p = new ActiveXObject("Voziroz.Parser");
  p.Open(ivanovFile);
  check("Execute", p.Execute(), true);
  var ivan = personRow(p, 1);
  checkText("Fullname", ivan[3], ivanPetrovich + " /" + ivanov + "/");
  checkText("Surname", ivan[4], ivanov);
  checkText("GivenName", ivan[5], ivanPetrovich);
  checkText("Note", personRow(p, 3)[6], note);
});

group("A Cyrillic file name", function () {
  var p = new ActiveXObject("Voziroz.Parser");
  p.Open(scratch + "\\" + ivanov + ".ged");
  check("IsOpen", p.IsOpen, true);
  checkText("Surname", p.Execute() && personRow(p, 1)[4], ivanov);
});

finish();
