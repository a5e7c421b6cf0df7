' Harness of the VBScript suites (scripts/windows-test.sh puts it in front of each suite).
' Arguments: the repository's folder and a scratch folder, as Windows paths. Wine's script host
' hides errors, so every check counts and the last line is always "N passed, N failed"; a suite
' that stops early prints no such line, which the runner reports.
Option Explicit
Dim passed, failed, root, scratch
passed = 0
failed = 0
root = WScript.Arguments(0)
scratch = WScript.Arguments(1)

Sub Fail(name, why)
  failed = failed + 1
  WScript.Echo "FAIL " & name & ": " & why
End Sub

Sub Check(name, actual, expected)
  If actual = expected Then
    passed = passed + 1
  Else
    Fail name, "got " & actual & ", expected " & expected
  End If
End Sub

' Checks the error that the last statement run under On Error Resume Next raised, then clears it.
Sub CheckError(name, number, source, description)
  If Err.Number = 0 Then
    Fail name, "no error"
  Else
    Check name & " number", Err.Number, number
    Check name & " source", Err.Source, source
    Check name & " description", Err.Description, description
  End If
  Err.Clear
End Sub

Sub Finish()
  WScript.Echo passed & " passed, " & failed & " failed"
End Sub

