' Queue, Stack and KeyList from VBScript: out-arguments (ByIndex), property puts with an index
' (Item), UBound of returned arrays, and an error with its number, source and description.

Dim k, key, item, q, s
Set k = CreateObject("Voziroz.KeyList")
k.Add "b", 1
k.Add "a", 2
k.Add "C", 3
k.ByIndex 0, key, item
Check "ByIndex 0 key", key, "C"
Check "ByIndex 0 item", item, 3
k.ByIndex 2, key, item
Check "ByIndex 2 key", key, "b"
k.ByIndex 3, key, item
Check "ByIndex past the end key", key, ""
Check "ByIndex past the end item", item, ""
k.ByIndex -1, key, item
Check "ByIndex -1 item", VarType(item), vbString

k.Item("n") = 5
Check "put adds", k.Item("n"), 5
k.Item("n") = 6
Check "put replaces", k.Item("n"), 6
Check "put keeps Count", k.Count, 4
Check "UBound of Keys", UBound(k.Keys), 3
Check "LBound of Items", LBound(k.Items), 0
Check "Exists is True", k.Exists("a"), True
Check "Exists is -1", CInt(k.Exists("a")), -1

k.Capacity = 2
Check "Capacity below Count empties", k.Count, 0
Check "Capacity applied", k.Capacity, 2

On Error Resume Next
k.Capacity = -1
CheckError "Capacity -1", -2147418113, "Voziroz.KeyList", "List capacity out of bounds (-1)"
On Error GoTo 0

Set q = CreateObject("Voziroz.Queue")
Check "empty Queue gives Null", IsNull(q.Get), True
q.Put "x"
Check "Queue Length", q.Length, 1
Set s = CreateObject("Voziroz.Stack")
s.Put q
Check "Stack keeps the object", s.Get Is q, True
Check "empty Stack gives Null", IsNull(s.Get), True

Finish
