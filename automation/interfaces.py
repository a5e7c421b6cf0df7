"""The type library Voziroz, described once: its identity, six classes and their six dual
interfaces with every member in function-table order (slots from 7).

The build generates from this file (generate_interfaces.py): the C++ tables that the dispatcher,
the type information and the registration read (interface_tables.inc), the IDL that widl
compiles into Voziroz.dll's type library, and the function-table slots of the dual interfaces
with compile-time checks of include/voziroz.h. Adding a member means one edit here.

Member: (name, DISPID, kind, parameters, result, help string, options). Kind "method", "get" or
"put"; a put's last parameter is the assigned value. Parameter: (type, name) or (type, name,
"optional" | "out"). Types: VARIANT, I4, BOOL, BSTR, ARRAY (SAFEARRAY(VARIANT)), IParser; result
None for none. Options: hidden=True, result_name="...".
"""

LIBRARY = dict(
    name="Voziroz",
    libid="BA382B7F-C27B-4CBD-A67B-6B8856E804EE",
    version=(1, 0),
    locale=0x409,
    help="Project1 Library",
)

FILENAME = [("VARIANT", "Filename")]
FOLDERNAME = [("VARIANT", "Foldername")]
VALUE = [("VARIANT", "value")]
KEY = [("BSTR", "Key")]

PARSER = dict(
    name="IParser", iid="56D9E158-074E-464A-BF01-640D099AFD32", hidden=True,
    help="Dispatch interface for Parser Object",
    members=[
        ("Open", 201, "method", FILENAME, None, "Opens a GEDCOM file and preparses it.", {}),
        ("Execute", 202, "method", [], "BOOL",
         "Parses the attached GEDCOM datafile, returns TRUE on success.", {}),
        ("Close", 204, "method", [], None, "Closes an opened GEDCOM file", {}),
        ("IsOpen", 205, "get", [], "BOOL",
         "Returns TRUE when parser loaded with GEDCOM file, else FALSE", {}),
        ("DataLink", 206, "get", [("VARIANT", "TableName")], "I4",
         "Internal use only - returns pointer to table object in memory", dict(hidden=True)),
        ("GetTable", 207, "method", [("VARIANT", "TableName"), ("VARIANT", "Parameter", "optional")],
         "ARRAY", "Returns raw table data", dict(hidden=True)),
        ("TableNames", 208, "get", [], "ARRAY", "Returns array of table names", {}),
        ("Line", 209, "get", [("I4", "LineNb")], "ARRAY",
         "Returns preparsed GEDCOM data as array (Level,Keyword,Data)", {}),
        ("LineCount", 210, "get", [], "I4", "Number of lines in preparsed GEDCOM file", {}),
        ("Metadata", 203, "method", [], "ARRAY", "Returns metadata from an open GEDCOM file", {}),
        ("GetAncestors", 211, "get", [("I4", "ID"), ("I4", "Generation")], "ARRAY",
         "Utility, Returns all ancestors in a given generation for a given person. Use "
         "generation=0 to get range of possible generations, max is 1-50", dict(hidden=True)),
        ("Thumbnail", 212, "method",
         [("VARIANT", "SourceFilename"), ("VARIANT", "TargetFilename"), ("I4", "Width"),
          ("I4", "Height"), ("I4", "FillColor")], "BOOL",
         "Utility, creates a thumbnail from a JPG file.", {}),
    ])

TABLE = dict(
    name="ITable", iid="AE42A3AB-2DE2-457D-AFBD-27AEB8A3FF0D",
    help="Dispatch interface for Table Object",
    members=[
        ("RowCount", 201, "get", [], "I4", "Number of rows table contains", {}),
        ("ColCount", 202, "get", [], "I4", "Number of columns in table", {}),
        ("ColNames", 203, "get", [], "ARRAY", "Array of column names", {}),
        ("Row", 204, "get", [("I4", "Index")], "ARRAY", "Array of values for specified row", {}),
        ("IsOpen", 205, "get", [], "BOOL", "Returns TRUE if table open else FALSE", {}),
        ("Open", 206, "method", [("VARIANT", "TableName"), ("IParser", "Parser")], None,
         "Opens a table from the parser, chooese between PERSON, EVENT, SOURCE, FAMILY", {}),
        ("FindRow", 207, "method", [("I4", "KeyValue")], "I4",
         "Searches for first row where key column matches specified value", {}),
        ("Close", 208, "method", [], None, "Closes loaded table", {}),
        ("KeyColname", 209, "get", [], "VARIANT", "Returns column name for key in table", {}),
    ])

FTP = dict(
    name="IFTP", iid="5FF0AE04-7BC4-4DE4-87D2-B8610A1B878E",
    help="Dispatch interface for FTP Object",
    members=[
        ("Connect", 201, "method",
         [("VARIANT", "Hostname"), ("VARIANT", "Username"), ("VARIANT", "Password"),
          ("I4", "Portnumber"), ("BOOL", "PassiveMode")], "BOOL",
         "Connects to the specified FTP server", {}),
        ("Disconnect", 202, "method", [], "BOOL", "Disconnects from current connection", {}),
        ("CreateFolder", 203, "method", FOLDERNAME, "BOOL",
         "Creates a folder in current directory", {}),
        ("RemoveFolder", 204, "method", FOLDERNAME, "BOOL",
         "Removes an empty folder from current directory", {}),
        ("ChangeFolder", 205, "method", FOLDERNAME, "BOOL",
         "Changes current folder to specified folder", {}),
        ("FileExists", 206, "method", FILENAME, "BOOL", "Checks if a file exists", {}),
        ("DeleteFile", 207, "method", FILENAME, "BOOL", "Deletes file from current folder", {}),
        ("RenameFile", 208, "method", [("VARIANT", "OldName"), ("VARIANT", "NewName")], "BOOL",
         "Renames and/or moves a file", {}),
        ("PutFile", 209, "method",
         [("VARIANT", "LocalName"), ("VARIANT", "RemoteName"), ("BOOL", "BinaryFile")], "BOOL",
         "Transfers a local file to the FTP server", {}),
        ("GetFile", 210, "method",
         [("VARIANT", "RemoteName"), ("VARIANT", "LocalName"), ("BOOL", "BinaryFile")], "BOOL",
         "Transfers a file from the FTP server to the local machine", {}),
        ("ListFiles", 211, "method", [("VARIANT", "Folder")], "ARRAY",
         "Lists all file and folders in current directory", {}),
        ("CurrentFolder", 212, "method", [], "VARIANT", "Returns current folder", {}),
        ("PutText", 213, "method", [("VARIANT", "TextData"), ("VARIANT", "Remotefile")], "BOOL",
         "Stores textdata variable to remote file in ASCII mode", {}),
        ("IsConnected", 214, "get", [], "BOOL", "Returns true if connected", {}),
    ])


def container(name, iid, noun, put_help, get_help, clear_help, count_name, count_help):
    """IQueue and IStack: the same five members with their own words."""
    return dict(
        name=name, iid=iid, help=f"Dispatch interface for {noun} Object",
        members=[
            ("Init", 201, "method", [], None, f"Readies the {noun.lower()} for use", {}),
            ("Put", 202, "method", VALUE, None, put_help, {}),
            ("Get", 203, "method", [], "VARIANT", get_help, {}),
            ("Clear", 204, "method", [], None, clear_help, {}),
            (count_name, 205, "get", [], "I4", count_help, {}),
        ])


QUEUE = container("IQueue", "3FFF8609-2E6C-4BCE-97E8-D71D93E1B624", "Queue",
                  "Adds an item to the end of the queue", "Gets the first item from the queue",
                  "Clears the queue", "Length", "Length of queue")
STACK = container("IStack", "5637B7E6-9561-4296-9967-89346F7F902F", "Stack",
                  "Puts an item on top of the stack", "Gets the topmost item from the stack",
                  "Removes all items from the queue", "Height", "Number of items on the stack")

ITEM_HELP = "Returns item using key as index"
CAPACITY_HELP = "Tune the list by setting initial capacity"
KEY_LIST = dict(
    name="IKeyList", iid="9C695540-F43B-4E2C-AE08-30D8ED4C7A38",
    help="Dispatch interface for KeyList Object",
    members=[
        ("Add", 201, "method", [("BSTR", "Key"), ("VARIANT", "Item")], None,
         "Adds an key/item pair to the list", {}),
        ("ByIndex", 203, "method",
         [("I4", "Index"), ("BSTR", "Key", "out"), ("VARIANT", "Item", "out")], None,
         "returns key/item pair on current index (warning: index may change)", {}),
        ("Item", 202, "get", KEY, "VARIANT", ITEM_HELP, dict(result_name="Item")),
        ("Item", 202, "put", [("BSTR", "Key"), ("VARIANT", "None")], None, ITEM_HELP, {}),
        ("Count", 204, "get", [], "I4", "Returns number of items in list", {}),
        ("Capacity", 205, "get", [], "I4", CAPACITY_HELP, {}),
        ("Capacity", 205, "put", [("I4", "None")], None, CAPACITY_HELP, {}),
        ("Init", 206, "method", [], None, "Readies the list for use. Must be called first", {}),
        ("Delete", 207, "method", KEY, None, "Removes a key/item pair from the list", {}),
        ("Clear", 208, "method", [], None, "Clears the list", {}),
        ("Exists", 209, "method", KEY, "BOOL", "Returns TRUE if a specific key exists", {}),
        ("Items", 210, "method", [], "ARRAY", "", {}),
        ("Keys", 211, "method", [], "ARRAY", "", {}),
    ])

# Coclass, CLSID, help string, interface, implementation class, multiple instancing.
CLASSES = [
    ("Parser", "C75F7A80-B719-4164-AFC1-56A316B44679",
     "GEDCOM parser: opens a GEDCOM file and serves its lines, tables and metadata", PARSER,
     "TParser", True),
    ("Table", "FA374253-E02E-461A-85FC-9370260773F1", "Fake Table Object", TABLE, "TTable", True),
    ("FTP", "074EE418-23A9-4807-84CB-D98D86F237C2", "FTP client", FTP, "TFTP", False),
    ("Queue", "24773636-0638-4BDA-8F1F-B5C049FF4FE2", "Queue (FIFO)", QUEUE, "TQueue", True),
    ("Stack", "DE47B51C-7C30-47EF-8BB7-C30F0AD749E2", "Stack (FILO)", STACK, "TStack", True),
    ("KeyList", "0BF294A1-A83B-49FE-B7DA-C59349450249",
     "KeyList is a sorted list of key/item pairs.", KEY_LIST, "TKeyList", True),
]
