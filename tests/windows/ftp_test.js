// The FTP object from JScript against the test FTP server (over WinInet): a whole session of
// folders, a text stored and fetched back, a listing read as an array, renaming and deleting,
// and the error of a port out of range.

var fso = new ActiveXObject("Scripting.FileSystemObject");

function readText(path) {
  var file = fso.OpenTextFile(path, 1);
  var text = file.AtEndOfStream ? "" : file.ReadAll();
  file.Close();
  return text;
}

group("A session", function () {
  var ftp = new ActiveXObject("Voziroz.FTP");
  check("not connected", ftp.IsConnected, false);
  check("no folder yet", ftp.CreateFolder("early"), false);
  check("wrong password", ftp.Connect("127.0.0.1", "tester", "wrong", ftpPort, true), false);
  check("Connect", ftp.Connect("127.0.0.1", "tester", "s3cret word", ftpPort, true), true);
  check("IsConnected", ftp.IsConnected, true);
  check("CreateFolder", ftp.CreateFolder("js"), true);
  check("ChangeFolder", ftp.ChangeFolder("js"), true);
  check("CurrentFolder", ftp.CurrentFolder(), "/js");
  check("PutText", ftp.PutText("hello", "h.txt"), true);
  check("FileExists", ftp.FileExists("h.txt"), true);
  check("ListFiles", elements(ftp.ListFiles("")).join("|"), "h.txt\t5");
  var local = scratch + "\\fetched.txt";
  check("GetFile", ftp.GetFile("h.txt", local, true), true);
  check("fetched text", readText(local), "hello");
  check("PutFile", ftp.PutFile(local, "copy.txt", false), true);
  check("RenameFile", ftp.RenameFile("copy.txt", "moved.txt"), true);
  check("renamed", ftp.FileExists("copy.txt"), false);
  check("DeleteFile", ftp.DeleteFile("moved.txt"), true);
  check("DeleteFile h", ftp.DeleteFile("h.txt"), true);
  check("back up", ftp.ChangeFolder(".."), true);
  check("RemoveFolder", ftp.RemoveFolder("js"), true);
  check("Disconnect", ftp.Disconnect(), true);
  check("disconnected", ftp.IsConnected, false);
  check("CurrentFolder when not connected", ftp.CurrentFolder(), "-?-");
});

group("Objects on one thread share the connection", function () {
  var first = new ActiveXObject("Voziroz.FTP"), second = new ActiveXObject("Voziroz.FTP");
  first.Connect("127.0.0.1", "tester", "s3cret word", ftpPort, false);
  check("seen by the other", second.IsConnected, true);
  second.Disconnect();
  check("closed for both", first.IsConnected, false);
});

group("A port out of range", function () {
  var ftp = new ActiveXObject("Voziroz.FTP");
  checkError("port 70000", function () { ftp.Connect("127.0.0.1", "a", "b", 70000, true); },
             -2147418113, "Range check error");
});

finish();
