' The FTP object from VBScript: booleans that equal True, the listing read with UBound, and the
' error of a port out of range with its number, source and description.

Dim ftp, listing
Set ftp = CreateObject("Voziroz.FTP")
Check "Connect", ftp.Connect("127.0.0.1", "tester", "s3cret word", ftpPort, True), True
Check "PutText", ftp.PutText("vb", "vb.txt"), True
listing = ftp.ListFiles("")
Check "one file listed", UBound(listing), 0
Check "its line", listing(0), "vb.txt" & vbTab & "2"
Check "DeleteFile", ftp.DeleteFile("vb.txt"), True
Check "empty listing", UBound(ftp.ListFiles("")), -1
ftp.Disconnect

On Error Resume Next
ftp.Connect "127.0.0.1", "a", "b", -1, True
CheckError "port -1", &H8000FFFF, "Voziroz.FTP", "Range check error"
On Error GoTo 0

Finish
