// Harness of the JScript suites (scripts/windows-test.sh puts it in front of each suite).
// Arguments: the repository's folder and a scratch folder, as Windows paths. Wine's script host
// hides errors, so every check counts and the last line is always "N passed, N failed"; a
// suite that stops early prints no such line, which the runner reports.
var passed = 0, failed = 0;
var root = WScript.Arguments(0), scratch = WScript.Arguments(1);

function fail(name, why) {
  failed++;
  WScript.Echo("FAIL " + name + ": " + why);
}

function check(name, actual, expected) {
  if (actual === expected) passed++;
  else fail(name, "got " + actual + ", expected " + expected);
}

// Runs `body` and checks the error it raises: its number, and its description unless that is
// left out (JScript has no source).
function checkError(name, body, number, description) {
  try {
    body();
  } catch (e) {
    check(name + " number", e.number, number);
    if (description !== undefined) check(name + " description", e.description, description);
    return;
  }
  fail(name, "no error");
}

// Runs a group of checks; an unexpected error fails the group and the suite goes on.
function group(name, body) {
  try {
    body();
  } catch (e) {
    fail(name, "error " + e.number + " " + e.description);
  }
}

// The elements of a safe array (a null array gives null).
function elements(safeArray) {
  return safeArray === null ? null : new VBArray(safeArray).toArray();
}

function finish() {
  WScript.Echo(passed + " passed, " + failed + " failed");
}

