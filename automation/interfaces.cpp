#include "automation/interfaces.h"

#include <cstdio>

#include "engine/ansi_case.h"

namespace voziroz {
namespace {

constexpr int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The hex digits of text[first, first + digits) as a number, or nothing.
constexpr std::optional<std::uint32_t> HexField(std::string_view text, std::size_t first,
                                                std::size_t digits) {
  std::uint32_t value = 0;
  for (std::size_t i = first; i < first + digits; ++i) {
    const int digit = HexDigit(text[i]);
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  return value;
}

constexpr std::optional<Guid> ParseGuidText(std::string_view text) {
  constexpr std::string_view kShape = "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
  if (text.size() != kShape.size()) return std::nullopt;
  for (std::size_t i = 0; i < kShape.size(); ++i) {
    if (kShape[i] != 'X' && text[i] != kShape[i]) return std::nullopt;
    if (kShape[i] == 'X' && HexDigit(text[i]) < 0) return std::nullopt;
  }
  Guid guid;
  guid.Data1 = *HexField(text, 1, 8);
  guid.Data2 = static_cast<std::uint16_t>(*HexField(text, 10, 4));
  guid.Data3 = static_cast<std::uint16_t>(*HexField(text, 15, 4));
  constexpr std::size_t kByteAt[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (std::size_t i = 0; i < 8; ++i)
    guid.Data4[i] = static_cast<std::uint8_t>(*HexField(text, kByteAt[i], 2));
  return guid;
}

// A GUID written in the tables below; a malformed one does not compile.
consteval Guid GuidOf(std::string_view text) {
  return ParseGuidText(text).value();
}

using M = MemberKind;
using T = TypeKind;

// --- IParser
// --------------------------------------------------------------------------------------
constexpr ParamInfo kFilename[] = {{"Filename"}};
constexpr ParamInfo kTableName[] = {{"TableName"}};
constexpr ParamInfo kGetTable[] = {{"TableName"}, {"Parameter", T::Variant, true}};
constexpr ParamInfo kLineNb[] = {{"LineNb", T::I4}};
constexpr ParamInfo kGetAncestors[] = {{"ID", T::I4}, {"Generation", T::I4}};
constexpr ParamInfo kThumbnail[] = {{"SourceFilename"},
                                    {"TargetFilename"},
                                    {"Width", T::I4},
                                    {"Height", T::I4},
                                    {"FillColor", T::I4}};

// Name, DISPID, kind, parameters, result, hidden, help string.
constexpr MemberInfo kParserMembers[] = {
    {"Open", 201, M::Method, kFilename, T::Void, false, "Opens a GEDCOM file and preparses it."},
    {"Execute",
     202,
     M::Method,
     {},
     T::Bool,
     false,
     "Parses the attached GEDCOM datafile, returns TRUE on success."},
    {"Close", 204, M::Method, {}, T::Void, false, "Closes an opened GEDCOM file"},
    {"IsOpen",
     205,
     M::PropertyGet,
     {},
     T::Bool,
     false,
     "Returns TRUE when parser loaded with GEDCOM file, else FALSE"},
    {"DataLink", 206, M::PropertyGet, kTableName, T::I4, true,
     "Internal use only - returns pointer to table object in memory"},
    {"GetTable", 207, M::Method, kGetTable, T::VariantArray, true, "Returns raw table data"},
    {"TableNames", 208, M::PropertyGet, {}, T::VariantArray, false, "Returns array of table names"},
    {"Line", 209, M::PropertyGet, kLineNb, T::VariantArray, false,
     "Returns preparsed GEDCOM data as array (Level,Keyword,Data)"},
    {"LineCount",
     210,
     M::PropertyGet,
     {},
     T::I4,
     false,
     "Number of lines in preparsed GEDCOM file"},
    {"Metadata",
     203,
     M::Method,
     {},
     T::VariantArray,
     false,
     "Returns metadata from an open GEDCOM file"},
    {"GetAncestors", 211, M::PropertyGet, kGetAncestors, T::VariantArray, true,
     "Utility, Returns all ancestors in a given generation for a given person. Use generation=0 "
     "to get range of possible generations, max is 1-50"},
    {"Thumbnail", 212, M::Method, kThumbnail, T::Bool, false,
     "Utility, creates a thumbnail from a JPG file."},
};

// --- ITable
// ---------------------------------------------------------------------------------------
constexpr ParamInfo kIndex[] = {{"Index", T::I4}};
constexpr ParamInfo kTableOpen[] = {{"TableName"}, {"Parser", T::IParser}};
constexpr ParamInfo kKeyValue[] = {{"KeyValue", T::I4}};

constexpr MemberInfo kTableMembers[] = {
    {"RowCount", 201, M::PropertyGet, {}, T::I4, false, "Number of rows table contains"},
    {"ColCount", 202, M::PropertyGet, {}, T::I4, false, "Number of columns in table"},
    {"ColNames", 203, M::PropertyGet, {}, T::VariantArray, false, "Array of column names"},
    {"Row", 204, M::PropertyGet, kIndex, T::VariantArray, false,
     "Array of values for specified row"},
    {"IsOpen", 205, M::PropertyGet, {}, T::Bool, false, "Returns TRUE if table open else FALSE"},
    {"Open", 206, M::Method, kTableOpen, T::Void, false,
     "Opens a table from the parser, chooese between PERSON, EVENT, SOURCE, FAMILY"},
    {"FindRow", 207, M::Method, kKeyValue, T::I4, false,
     "Searches for first row where key column matches specified value"},
    {"Close", 208, M::Method, {}, T::Void, false, "Closes loaded table"},
    {"KeyColname",
     209,
     M::PropertyGet,
     {},
     T::Variant,
     false,
     "Returns column name for key in table"},
};

// --- IFTP
// -----------------------------------------------------------------------------------------
constexpr ParamInfo kConnect[] = {
    {"Hostname"}, {"Username"}, {"Password"}, {"Portnumber", T::I4}, {"PassiveMode", T::Bool}};
constexpr ParamInfo kFoldername[] = {{"Foldername"}};
constexpr ParamInfo kRename[] = {{"OldName"}, {"NewName"}};
constexpr ParamInfo kPutFile[] = {{"LocalName"}, {"RemoteName"}, {"BinaryFile", T::Bool}};
constexpr ParamInfo kGetFile[] = {{"RemoteName"}, {"LocalName"}, {"BinaryFile", T::Bool}};
constexpr ParamInfo kFolder[] = {{"Folder"}};
constexpr ParamInfo kPutText[] = {{"TextData"}, {"Remotefile"}};

constexpr MemberInfo kFtpMembers[] = {
    {"Connect", 201, M::Method, kConnect, T::Bool, false, "Connects to the specified FTP server"},
    {"Disconnect", 202, M::Method, {}, T::Bool, false, "Disconnects from current connection"},
    {"CreateFolder", 203, M::Method, kFoldername, T::Bool, false,
     "Creates a folder in current directory"},
    {"RemoveFolder", 204, M::Method, kFoldername, T::Bool, false,
     "Removes an empty folder from current directory"},
    {"ChangeFolder", 205, M::Method, kFoldername, T::Bool, false,
     "Changes current folder to specified folder"},
    {"FileExists", 206, M::Method, kFilename, T::Bool, false, "Checks if a file exists"},
    {"DeleteFile", 207, M::Method, kFilename, T::Bool, false, "Deletes file from current folder"},
    {"RenameFile", 208, M::Method, kRename, T::Bool, false, "Renames and/or moves a file"},
    {"PutFile", 209, M::Method, kPutFile, T::Bool, false,
     "Transfers a local file to the FTP server"},
    {"GetFile", 210, M::Method, kGetFile, T::Bool, false,
     "Transfers a file from the FTP server to the local machine"},
    {"ListFiles", 211, M::Method, kFolder, T::VariantArray, false,
     "Lists all file and folders in current directory"},
    {"CurrentFolder", 212, M::Method, {}, T::Variant, false, "Returns current folder"},
    {"PutText", 213, M::Method, kPutText, T::Bool, false,
     "Stores textdata variable to remote file in ASCII mode"},
    {"IsConnected", 214, M::PropertyGet, {}, T::Bool, false, "Returns true if connected"},
};

// --- IQueue and IStack
// ----------------------------------------------------------------------------
constexpr ParamInfo kValue[] = {{"value"}};

constexpr MemberInfo kQueueMembers[] = {
    {"Init", 201, M::Method, {}, T::Void, false, "Readies the queue for use"},
    {"Put", 202, M::Method, kValue, T::Void, false, "Adds an item to the end of the queue"},
    {"Get", 203, M::Method, {}, T::Variant, false, "Gets the first item from the queue"},
    {"Clear", 204, M::Method, {}, T::Void, false, "Clears the queue"},
    {"Length", 205, M::PropertyGet, {}, T::I4, false, "Length of queue"},
};

constexpr MemberInfo kStackMembers[] = {
    {"Init", 201, M::Method, {}, T::Void, false, "Readies the stack for use"},
    {"Put", 202, M::Method, kValue, T::Void, false, "Puts an item on top of the stack"},
    {"Get", 203, M::Method, {}, T::Variant, false, "Gets the topmost item from the stack"},
    {"Clear", 204, M::Method, {}, T::Void, false, "Removes all items from the queue"},
    {"Height", 205, M::PropertyGet, {}, T::I4, false, "Number of items on the stack"},
};

// --- IKeyList
// -------------------------------------------------------------------------------------
constexpr ParamInfo kAdd[] = {{"Key", T::Bstr}, {"Item"}};
constexpr ParamInfo kByIndex[] = {
    {"Index", T::I4}, {"Key", T::Bstr, false, true}, {"Item", T::Variant, false, true}};
constexpr ParamInfo kKey[] = {{"Key", T::Bstr}};
constexpr ParamInfo kPutItem[] = {{"Key", T::Bstr}, {"None"}};
constexpr ParamInfo kPutCapacity[] = {{"None", T::I4}};

constexpr MemberInfo kKeyListMembers[] = {
    {"Add", 201, M::Method, kAdd, T::Void, false, "Adds an key/item pair to the list"},
    {"ByIndex", 203, M::Method, kByIndex, T::Void, false,
     "returns key/item pair on current index (warning: index may change)"},
    {"Item", 202, M::PropertyGet, kKey, T::Variant, false, "Returns item using key as index",
     "Item"},
    {"Item", 202, M::PropertyPut, kPutItem, T::Void, false, "Returns item using key as index"},
    {"Count", 204, M::PropertyGet, {}, T::I4, false, "Returns number of items in list"},
    {"Capacity",
     205,
     M::PropertyGet,
     {},
     T::I4,
     false,
     "Tune the list by setting initial capacity"},
    {"Capacity", 205, M::PropertyPut, kPutCapacity, T::Void, false,
     "Tune the list by setting initial capacity"},
    {"Init", 206, M::Method, {}, T::Void, false, "Readies the list for use. Must be called first"},
    {"Delete", 207, M::Method, kKey, T::Void, false, "Removes a key/item pair from the list"},
    {"Clear", 208, M::Method, {}, T::Void, false, "Clears the list"},
    {"Exists", 209, M::Method, kKey, T::Bool, false, "Returns TRUE if a specific key exists"},
    {"Items", 210, M::Method, {}, T::VariantArray, false, ""},
    {"Keys", 211, M::Method, {}, T::VariantArray, false, ""},
};

}  // namespace

constexpr InterfaceInfo kParserInterface = {
    "IParser", GuidOf("{56D9E158-074E-464A-BF01-640D099AFD32}"),
    "Dispatch interface for Parser Object", true, kParserMembers};
constexpr InterfaceInfo kTableInterface = {
    "ITable", GuidOf("{AE42A3AB-2DE2-457D-AFBD-27AEB8A3FF0D}"),
    "Dispatch interface for Table Object", false, kTableMembers};
constexpr InterfaceInfo kFtpInterface = {"IFTP", GuidOf("{5FF0AE04-7BC4-4DE4-87D2-B8610A1B878E}"),
                                         "Dispatch interface for FTP Object", false, kFtpMembers};
constexpr InterfaceInfo kQueueInterface = {
    "IQueue", GuidOf("{3FFF8609-2E6C-4BCE-97E8-D71D93E1B624}"),
    "Dispatch interface for Queue Object", false, kQueueMembers};
constexpr InterfaceInfo kStackInterface = {
    "IStack", GuidOf("{5637B7E6-9561-4296-9967-89346F7F902F}"),
    "Dispatch interface for Stack Object", false, kStackMembers};
constexpr InterfaceInfo kKeyListInterface = {
    "IKeyList", GuidOf("{9C695540-F43B-4E2C-AE08-30D8ED4C7A38}"),
    "Dispatch interface for KeyList Object", false, kKeyListMembers};

namespace {

// Name, CLSID, help string, interface, ProgID, implementation class, multiple instancing.
constexpr ClassInfo kClasses[] = {
    {"Parser", GuidOf("{C75F7A80-B719-4164-AFC1-56A316B44679}"),
     "GEDCOM parser: opens a GEDCOM file and serves its lines, tables and metadata",
     &kParserInterface, "Voziroz.Parser", "TParser", true},
    {"Table", GuidOf("{FA374253-E02E-461A-85FC-9370260773F1}"), "Fake Table Object",
     &kTableInterface, "Voziroz.Table", "TTable", true},
    {"FTP", GuidOf("{074EE418-23A9-4807-84CB-D98D86F237C2}"), "FTP client", &kFtpInterface,
     "Voziroz.FTP", "TFTP", false},
    {"Queue", GuidOf("{24773636-0638-4BDA-8F1F-B5C049FF4FE2}"), "Queue (FIFO)", &kQueueInterface,
     "Voziroz.Queue", "TQueue", true},
    {"Stack", GuidOf("{DE47B51C-7C30-47EF-8BB7-C30F0AD749E2}"), "Stack (FILO)", &kStackInterface,
     "Voziroz.Stack", "TStack", true},
    {"KeyList", GuidOf("{0BF294A1-A83B-49FE-B7DA-C59349450249}"),
     "KeyList is a sorted list of key/item pairs.", &kKeyListInterface, "Voziroz.KeyList",
     "TKeyList", true},
};

}  // namespace

constexpr TypeLibraryInfo kTypeLibrary = {
    "Voziroz", GuidOf("{BA382B7F-C27B-4CBD-A67B-6B8856E804EE}"), 1, 0, 0x409, "Project1 Library",
    kClasses};

const ClassInfo& ParserClass() {
  return kClasses[0];
}
const ClassInfo& TableClass() {
  return kClasses[1];
}
const ClassInfo& FtpClass() {
  return kClasses[2];
}
const ClassInfo& QueueClass() {
  return kClasses[3];
}
const ClassInfo& StackClass() {
  return kClasses[4];
}
const ClassInfo& KeyListClass() {
  return kClasses[5];
}

std::optional<Guid> ParseGuid(std::string_view text) {
  return ParseGuidText(text);
}

std::string GuidToString(const Guid& guid) {
  char text[39];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0],
                guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
                guid.Data4[6], guid.Data4[7]);
  return text;
}

const ClassInfo* FindClassByProgId(std::string_view prog_id) {
  const std::string wanted = AnsiUpperCase(prog_id);
  for (const ClassInfo& c : kTypeLibrary.Classes)
    if (AnsiUpperCase(c.ProgId) == wanted) return &c;
  return nullptr;
}

const ClassInfo* FindClassByClsid(const Guid& clsid) {
  for (const ClassInfo& c : kTypeLibrary.Classes)
    if (c.Clsid == clsid) return &c;
  return nullptr;
}

}  // namespace voziroz
