// The type library as data: the library's identity, its six classes and their six dispatch
// interfaces with every member (name, DISPID, function-table slot, kind, parameters, result,
// hidden flag, help string). The tables are generated from interfaces.py, the one place where a
// name or an identifier is written down; the same description gives the Windows type library's
// IDL and the dual interfaces' function-table slots. The dispatcher, the server's type
// information and the registration read these tables.
//
// All data here is constant and initialised before any code runs.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace voziroz {

struct Guid {
  std::uint32_t Data1 = 0;
  std::uint16_t Data2 = 0;
  std::uint16_t Data3 = 0;
  std::array<std::uint8_t, 8> Data4{};
  friend bool operator==(const Guid&, const Guid&) = default;
};

// Parses the registry form "{C75F7A80-B719-4164-AFC1-56A316B44679}" (either case).
std::optional<Guid> ParseGuid(std::string_view text);
// The registry form, upper case, with braces.
std::string GuidToString(const Guid& guid);

using DispId = std::int32_t;

enum class MemberKind : std::uint8_t { Method, PropertyGet, PropertyPut };

// Parameter and result types: VARIANT, I4 (32-bit integer), BOOL (automation boolean), BSTR
// (automation string), SAFEARRAY(VARIANT), and a reference to an IParser; Void for no result.
enum class TypeKind : std::uint8_t { Void, Variant, I4, Bool, Bstr, VariantArray, IParser };

struct ParamInfo {
  std::string_view Name;
  TypeKind Type = TypeKind::Variant;
  bool Optional = false;  // may be omitted; arrives as the "parameter not found" error value
  bool Out = false;       // [out]: the member writes it back to the caller
};

// Slots 0 to 6 of every function table belong to IUnknown and IDispatch.
inline constexpr int kFirstMemberSlot = 7;

struct MemberInfo {
  std::string_view Name;
  DispId Id = 0;
  MemberKind Kind = MemberKind::Method;
  std::span<const ParamInfo> Params;  // a property put's last parameter is the assigned value
  TypeKind Result = TypeKind::Void;   // the [out, retval] parameter
  bool Hidden = false;
  std::string_view HelpString;  // empty: none
  std::string_view ResultName = "value";
};

struct InterfaceInfo {
  std::string_view Name;
  Guid Iid;
  std::string_view HelpString;
  bool Hidden = false;                  // every interface is dual and marked for OLE automation
  std::span<const MemberInfo> Members;  // in function-table order from kFirstMemberSlot
};

struct ClassInfo {
  std::string_view Name;  // the coclass
  Guid Clsid;
  std::string_view HelpString;
  const InterfaceInfo* Interface = nullptr;  // the one, default, interface
  std::string_view ProgId;
  std::string_view ImplementationClass;
  bool MultipleInstancing = true;
  std::string_view ThreadingModel = "Apartment";
};

struct TypeLibraryInfo {
  std::string_view Name;
  Guid Libid;
  std::uint16_t MajorVersion = 0;
  std::uint16_t MinorVersion = 0;
  std::uint32_t Locale = 0;
  std::string_view HelpString;
  std::span<const ClassInfo> Classes;
};

extern const InterfaceInfo kParserInterface;
extern const InterfaceInfo kTableInterface;
extern const InterfaceInfo kFtpInterface;
extern const InterfaceInfo kQueueInterface;
extern const InterfaceInfo kStackInterface;
extern const InterfaceInfo kKeyListInterface;

extern const TypeLibraryInfo kTypeLibrary;
// The classes in the library's order: Parser, Table, FTP, Queue, Stack, KeyList.
const ClassInfo& ParserClass();
const ClassInfo& TableClass();
const ClassInfo& FtpClass();
const ClassInfo& QueueClass();
const ClassInfo& StackClass();
const ClassInfo& KeyListClass();

// Lookups over kTypeLibrary; null when there is no such class. ProgIDs compare ignoring case.
const ClassInfo* FindClassByProgId(std::string_view prog_id);
const ClassInfo* FindClassByClsid(const Guid& clsid);

}  // namespace voziroz
