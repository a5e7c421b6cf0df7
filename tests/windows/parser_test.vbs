' Parser and Table from VBScript on samples\family.ged: arrays read with UBound, a parser passed
' as an argument, booleans that equal VBScript's True, and errors with number, source and
' description.

' A null array (no array at all): an array of variants without bounds.
Function IsNullArray(value)
  Dim upper
  IsNullArray = False
  If VarType(value) <> vbArray + vbVariant Then Exit Function
  On Error Resume Next
  upper = UBound(value)
  IsNullArray = Err.Number <> 0
  Err.Clear
End Function

Dim p, t, sample, names, last
sample = root & "\samples\family.ged"
Set p = CreateObject("Voziroz.Parser")
Check "new parser has no PERSON table", IsNullArray(p.GetTable("PERSON", "header")), True
Set t = CreateObject("Voziroz.Table")
Check "closed ColNames", IsNullArray(t.ColNames), True
Check "closed Row", IsNullArray(t.Row(0)), True
p.Open sample
Check "IsOpen is True", p.IsOpen, True
Check "IsOpen is -1", CInt(p.IsOpen), -1
Dim line
line = p.Line(0)
Check "Line has upper bound 3", UBound(line), 3
Check "first tag", line(1), "HEAD"
Check "metadata rows", UBound(p.Metadata, 1), 20
Check "metadata columns", UBound(p.Metadata, 2), 2
Check "six table names", UBound(p.TableNames), 5
Check "Execute", p.Execute, True
Check "-12345 gives no array", IsNullArray(p.GetTable("PERSON", "-12345")), True
Check "a word gives no array", IsNullArray(p.GetTable("PERSON", "abc")), True
Check "GEDCOM gives no array", IsNullArray(p.GetTable("GEDCOM", "rows")), True
Check "a row is an array", IsNullArray(p.GetTable("PERSON", 0)), False

t.Open "FAMILY", p
Check "Table open", t.IsOpen, True
Check "key", t.KeyColname, "FamilyID"
names = t.ColNames
Check "ColNames bounds", LBound(names) & ".." & UBound(names), "0.." & (t.ColCount - 1)
last = t.RowCount
Check "last row", UBound(t.Row(last)), t.ColCount - 1

On Error Resume Next
Dim row
row = t.Row(-1)
CheckError "Row(-1)", &H8000FFFF, "Voziroz.Table", "Range check error"
row = p.GetTable("EVENT", 1000000)
CheckError "GetTable past the rows", &H8000FFFF, "Voziroz.Parser", "Range check error"
t.Open "PERSON", CreateObject("Voziroz.Table")
Check "a Table is no IParser", Err.Number, 13
Err.Clear
t.NoSuchMember
Check "unknown member", Err.Number, 438
Err.Clear
On Error GoTo 0

Check "hidden DataLink by name", p.DataLink("EVENT") <> 0, True
p.Close
Check "closed", p.IsOpen, False
Check "Table survives Close", UBound(t.Row(0)), t.ColCount - 1

Finish
