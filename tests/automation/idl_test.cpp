// The generated IDL of the Windows type library against the generated interface tables that the
// dispatcher serves: both come from automation/interfaces.py and must describe the same library,
// member for member.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "automation/interfaces.h"
#include "idl_reader.h"

namespace voziroz {
namespace {

idl::Library ReadVozirozIdl() {
  std::ifstream file(std::string(VOZIROZ_BINARY_DIR) + "/automation/voziroz.idl");
  std::ostringstream text;
  text << file.rdbuf();
  return idl::ReadLibrary(text.str());
}

// The IDL spelling of a GUID: no braces, upper case as the file writes it.
std::string IdlGuid(const Guid& guid) {
  const std::string text = GuidToString(guid);
  return text.substr(1, text.size() - 2);
}

std::string IdlType(TypeKind type) {
  switch (type) {
    case TypeKind::Variant:
      return "VARIANT";
    case TypeKind::I4:
      return "long";
    case TypeKind::Bool:
      return "VARIANT_BOOL";
    case TypeKind::Bstr:
      return "BSTR";
    case TypeKind::VariantArray:
      return "SAFEARRAY(VARIANT)";
    case TypeKind::IParser:
      return "IParser";
    case TypeKind::Void:
      break;
  }
  return "void";
}

std::string Attr(const idl::Attributes& attrs, const std::string& name) {
  const auto found = attrs.find(name);
  return found == attrs.end() ? "<absent>" : found->second;
}

bool Has(const idl::Attributes& attrs, const std::string& name) {
  return attrs.count(name) != 0;
}

void ExpectSameParams(const MemberInfo& expected, const idl::Member& actual) {
  const std::size_t results = expected.Result == TypeKind::Void ? 0 : 1;
  ASSERT_EQ(actual.Params.size(), expected.Params.size() + results);
  for (std::size_t i = 0; i < expected.Params.size(); ++i) {
    const ParamInfo& p = expected.Params[i];
    const idl::Param& q = actual.Params[i];
    SCOPED_TRACE(q.Name);
    EXPECT_EQ(q.Name, p.Name);
    EXPECT_EQ(q.Type, IdlType(p.Type));
    EXPECT_EQ(Has(q.Attrs, "optional"), p.Optional);
    EXPECT_EQ(Has(q.Attrs, "out"), p.Out);
    EXPECT_EQ(Has(q.Attrs, "in"), !p.Out);
    EXPECT_FALSE(Has(q.Attrs, "retval"));
    // [out] parameters and interface references are passed by pointer.
    EXPECT_EQ(q.Pointers, (p.Out ? 1 : 0) + (p.Type == TypeKind::IParser ? 1 : 0));
  }
  if (results == 0) return;
  const idl::Param& result = actual.Params.back();
  EXPECT_EQ(result.Name, expected.ResultName);
  EXPECT_EQ(result.Type, IdlType(expected.Result));
  EXPECT_EQ(result.Pointers, 1);
  EXPECT_TRUE(Has(result.Attrs, "out") && Has(result.Attrs, "retval"));
}

void ExpectSameMember(const MemberInfo& expected, const idl::Member& actual) {
  SCOPED_TRACE(std::string(expected.Name));
  EXPECT_EQ(actual.Name, expected.Name);
  EXPECT_EQ(Attr(actual.Attrs, "id"), std::to_string(expected.Id));
  EXPECT_EQ(Has(actual.Attrs, "propget"), expected.Kind == MemberKind::PropertyGet);
  EXPECT_EQ(Has(actual.Attrs, "propput"), expected.Kind == MemberKind::PropertyPut);
  EXPECT_EQ(Has(actual.Attrs, "hidden"), expected.Hidden);
  EXPECT_EQ(Attr(actual.Attrs, "helpstring"),
            expected.HelpString.empty() ? "<absent>" : std::string(expected.HelpString));
  ExpectSameParams(expected, actual);
}

TEST(TypeLibraryIdl, LibraryAttributes) {
  const idl::Library library = ReadVozirozIdl();
  EXPECT_EQ(library.Name, kTypeLibrary.Name);
  EXPECT_EQ(Attr(library.Attrs, "uuid"), IdlGuid(kTypeLibrary.Libid));
  EXPECT_EQ(Attr(library.Attrs, "version"), std::to_string(kTypeLibrary.MajorVersion) + "." +
                                                std::to_string(kTypeLibrary.MinorVersion));
  EXPECT_EQ(std::stoul(Attr(library.Attrs, "lcid"), nullptr, 16), kTypeLibrary.Locale);
  EXPECT_EQ(Attr(library.Attrs, "helpstring"), kTypeLibrary.HelpString);
}

TEST(TypeLibraryIdl, EveryInterfaceMemberForMember) {
  const idl::Library library = ReadVozirozIdl();
  ASSERT_EQ(library.Interfaces.size(), kTypeLibrary.Classes.size());
  for (std::size_t i = 0; i < kTypeLibrary.Classes.size(); ++i) {
    const InterfaceInfo& expected = *kTypeLibrary.Classes[i].Interface;
    const idl::Interface& actual = library.Interfaces[i];
    SCOPED_TRACE(std::string(expected.Name));
    EXPECT_EQ(actual.Name, expected.Name);
    EXPECT_EQ(actual.Base, "IDispatch");
    EXPECT_EQ(Attr(actual.Attrs, "uuid"), IdlGuid(expected.Iid));
    EXPECT_EQ(Attr(actual.Attrs, "helpstring"), expected.HelpString);
    EXPECT_EQ(Attr(actual.Attrs, "version"), "1.0");
    EXPECT_EQ(Has(actual.Attrs, "hidden"), expected.Hidden);
    EXPECT_TRUE(Has(actual.Attrs, "dual") && Has(actual.Attrs, "oleautomation"));
    ASSERT_EQ(actual.Members.size(), expected.Members.size());
    for (std::size_t m = 0; m < expected.Members.size(); ++m)
      ExpectSameMember(expected.Members[m], actual.Members[m]);
  }
}

TEST(TypeLibraryIdl, EveryCoclassWithItsDefaultInterface) {
  const idl::Library library = ReadVozirozIdl();
  ASSERT_EQ(library.Coclasses.size(), kTypeLibrary.Classes.size());
  for (std::size_t i = 0; i < kTypeLibrary.Classes.size(); ++i) {
    const ClassInfo& expected = kTypeLibrary.Classes[i];
    const idl::Coclass& actual = library.Coclasses[i];
    SCOPED_TRACE(std::string(expected.Name));
    EXPECT_EQ(actual.Name, expected.Name);
    EXPECT_EQ(Attr(actual.Attrs, "uuid"), IdlGuid(expected.Clsid));
    EXPECT_EQ(Attr(actual.Attrs, "helpstring"), expected.HelpString);
    EXPECT_EQ(actual.DefaultInterface, expected.Interface->Name);
  }
}

// The reader itself: a change that breaks the file's shape must fail loudly, with its line.
TEST(TypeLibraryIdl, ReaderRejectsWhatItDoesNotKnow) {
  const struct {
    const char* idl;
    const char* message;
  } cases[] = {
      {"[uuid(X)] library L { [uuid(Y)] struct S { }; };", "line 1: interface or coclass expected"},
      {"[uuid(X)]\nlibrary L {\n [id(1)] interface I : IDispatch { [id(1)] void F(); }; };",
       "line 3: 'HRESULT' expected, found 'void'"},
      {"[uuid(X)] library L { interface I : IDispatch { HRESULT F(", "unexpected end of the IDL"},
      {"[helpstring(\"open] library L {};", "unterminated string"},
  };
  for (const auto& c : cases) {
    try {
      idl::ReadLibrary(c.idl);
      ADD_FAILURE() << "accepted: " << c.idl;
    } catch (const std::runtime_error& error) {
      EXPECT_STREQ(error.what(), c.message) << c.idl;
    }
  }
}

}  // namespace
}  // namespace voziroz
