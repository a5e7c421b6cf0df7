#include "automation/interfaces.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace voziroz {
namespace {

TEST(Interfaces, GuidsRoundTripInRegistryForm) {
  const auto guid = ParseGuid("{c75f7a80-b719-4164-afc1-56a316b44679}");
  ASSERT_TRUE(guid.has_value());
  EXPECT_EQ(GuidToString(*guid), "{C75F7A80-B719-4164-AFC1-56A316B44679}");
  EXPECT_EQ(*guid, ParserClass().Clsid);
  for (const char* bad :
       {"", "C75F7A80-B719-4164-AFC1-56A316B44679", "{C75F7A80-B719-4164-AFC1-56A316B4467G}",
        "{C75F7A80B719-4164-AFC1-56A316B446790}"})
    EXPECT_FALSE(ParseGuid(bad).has_value()) << bad;
}

TEST(Interfaces, LibraryAndClassesAsRegistered) {
  EXPECT_EQ(kTypeLibrary.Name, "Voziroz");
  EXPECT_EQ(GuidToString(kTypeLibrary.Libid), "{BA382B7F-C27B-4CBD-A67B-6B8856E804EE}");
  EXPECT_EQ(kTypeLibrary.MajorVersion, 1);
  EXPECT_EQ(kTypeLibrary.MinorVersion, 0);
  EXPECT_EQ(kTypeLibrary.Locale, 0x409u);
  EXPECT_EQ(kTypeLibrary.HelpString, "Project1 Library");
  const struct {
    const char* prog_id;
    const char* clsid;
    const char* iid;
    const char* interface_name;
  } classes[] = {
      {"Voziroz.Parser", "{C75F7A80-B719-4164-AFC1-56A316B44679}",
       "{56D9E158-074E-464A-BF01-640D099AFD32}", "IParser"},
      {"Voziroz.Table", "{FA374253-E02E-461A-85FC-9370260773F1}",
       "{AE42A3AB-2DE2-457D-AFBD-27AEB8A3FF0D}", "ITable"},
      {"Voziroz.FTP", "{074EE418-23A9-4807-84CB-D98D86F237C2}",
       "{5FF0AE04-7BC4-4DE4-87D2-B8610A1B878E}", "IFTP"},
      {"Voziroz.Queue", "{24773636-0638-4BDA-8F1F-B5C049FF4FE2}",
       "{3FFF8609-2E6C-4BCE-97E8-D71D93E1B624}", "IQueue"},
      {"Voziroz.Stack", "{DE47B51C-7C30-47EF-8BB7-C30F0AD749E2}",
       "{5637B7E6-9561-4296-9967-89346F7F902F}", "IStack"},
      {"Voziroz.KeyList", "{0BF294A1-A83B-49FE-B7DA-C59349450249}",
       "{9C695540-F43B-4E2C-AE08-30D8ED4C7A38}", "IKeyList"},
  };
  ASSERT_EQ(kTypeLibrary.Classes.size(), std::size(classes));
  for (std::size_t i = 0; i < std::size(classes); ++i) {
    const ClassInfo& c = kTypeLibrary.Classes[i];
    EXPECT_EQ(c.ProgId, classes[i].prog_id);
    EXPECT_EQ(std::string(kTypeLibrary.Name) + "." + std::string(c.Name), c.ProgId);
    EXPECT_EQ(GuidToString(c.Clsid), classes[i].clsid);
    EXPECT_EQ(GuidToString(c.Interface->Iid), classes[i].iid);
    EXPECT_EQ(c.Interface->Name, classes[i].interface_name);
    EXPECT_EQ(c.Interface->Hidden, i == 0) << "only IParser is hidden";
    EXPECT_EQ(c.MultipleInstancing, c.ProgId != "Voziroz.FTP");
    EXPECT_EQ(c.ThreadingModel, "Apartment");
    EXPECT_EQ(FindClassByProgId(classes[i].prog_id), &c);
    EXPECT_EQ(FindClassByClsid(c.Clsid), &c);
  }
  EXPECT_EQ(FindClassByProgId("voziroz.keylist"), &KeyListClass());
  EXPECT_EQ(FindClassByProgId("Voziroz.Nothing"), nullptr);
  EXPECT_EQ(TableClass().HelpString, "Fake Table Object");
}

// The DISPIDs in function-table order, one string per interface.
std::string DispIdsOf(const InterfaceInfo& iface) {
  std::string ids;
  for (const MemberInfo& m : iface.Members) ids += std::to_string(m.Id) + " ";
  return ids;
}

TEST(Interfaces, MembersInSlotOrder) {
  EXPECT_EQ(DispIdsOf(kParserInterface), "201 202 204 205 206 207 208 209 210 203 211 212 ");
  EXPECT_EQ(DispIdsOf(kTableInterface), "201 202 203 204 205 206 207 208 209 ");
  EXPECT_EQ(DispIdsOf(kFtpInterface), "201 202 203 204 205 206 207 208 209 210 211 212 213 214 ");
  EXPECT_EQ(DispIdsOf(kQueueInterface), "201 202 203 204 205 ");
  EXPECT_EQ(DispIdsOf(kStackInterface), "201 202 203 204 205 ");
  EXPECT_EQ(DispIdsOf(kKeyListInterface), "201 203 202 202 204 205 205 206 207 208 209 210 211 ");
}

TEST(Interfaces, HiddenOptionalAndOutParameters) {
  std::set<std::string> hidden;
  for (const MemberInfo& m : kParserInterface.Members)
    if (m.Hidden) hidden.insert(std::string(m.Name));
  EXPECT_EQ(hidden, (std::set<std::string>{"DataLink", "GetTable", "GetAncestors"}));

  const MemberInfo& get_table = kParserInterface.Members[5];
  ASSERT_EQ(get_table.Name, "GetTable");
  ASSERT_EQ(get_table.Params.size(), 2u);
  EXPECT_FALSE(get_table.Params[0].Optional);
  EXPECT_TRUE(get_table.Params[1].Optional);
  EXPECT_EQ(get_table.Params[1].Name, "Parameter");

  const MemberInfo& by_index = kKeyListInterface.Members[1];
  ASSERT_EQ(by_index.Name, "ByIndex");
  EXPECT_FALSE(by_index.Params[0].Out);
  EXPECT_TRUE(by_index.Params[1].Out && by_index.Params[1].Type == TypeKind::Bstr);
  EXPECT_TRUE(by_index.Params[2].Out && by_index.Params[2].Type == TypeKind::Variant);

  const MemberInfo& item_get = kKeyListInterface.Members[2];
  EXPECT_EQ(item_get.ResultName, "Item");
  EXPECT_EQ(kTableInterface.Members[5].Params[1].Type, TypeKind::IParser);
  EXPECT_EQ(kTableInterface.Members[5].HelpString,
            "Opens a table from the parser, chooese between PERSON, EVENT, SOURCE, FAMILY");
}

}  // namespace
}  // namespace voziroz
