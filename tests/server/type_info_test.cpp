// The type information that the Linux server builds from the interface tables: every function
// of an interface with its DISPID, kind, parameters, result, flags and slot.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "tests/com/type_info_helpers.h"

namespace voziroz::testing {
namespace {

ComPtr<IDispatch> NewTable() {
  return NewObject(TableClass());
}

// Reads what GetFuncDesc says of function `index`.
struct Function {
  MEMBERID id = 0;
  INVOKEKIND kind = INVOKE_FUNC;
  std::vector<std::pair<VARTYPE, USHORT>> params;  // type and flags
  VARTYPE result = VT_EMPTY;
  VARTYPE result_points_to = VT_EMPTY;
  bool hidden = false;
  SHORT slot_offset = 0;
};

Function FunctionOf(ITypeInfo* info, UINT index) {
  FUNCDESC* desc = nullptr;
  EXPECT_EQ(info->lpVtbl->GetFuncDesc(info, index, &desc), S_OK);
  Function f;
  f.id = desc->memid;
  f.kind = desc->invkind;
  for (SHORT i = 0; i < desc->cParams; ++i)
    f.params.emplace_back(desc->lprgelemdescParam[i].tdesc.vt,
                          desc->lprgelemdescParam[i].paramdesc.wParamFlags);
  f.result = desc->elemdescFunc.tdesc.vt;
  if (f.result == VT_SAFEARRAY) f.result_points_to = desc->elemdescFunc.tdesc.lptdesc->vt;
  f.hidden = desc->wFuncFlags & FUNCFLAG_FHIDDEN;
  f.slot_offset = desc->oVft;
  EXPECT_EQ(desc->funckind, FUNC_DISPATCH);
  info->lpVtbl->ReleaseFuncDesc(info, desc);
  return f;
}

TEST(TypeInformation, DescribesEveryFunctionOfTheInterface) {
  ComPtr<IDispatch> table = NewTable();
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(table->lpVtbl->GetTypeInfo(table.get(), 0, 0, info.put()), S_OK);
  const Function row = FunctionOf(info.get(), 3);
  EXPECT_EQ(row.id, 204);
  EXPECT_EQ(row.kind, INVOKE_PROPERTYGET);
  ASSERT_EQ(row.params.size(), 1u);
  EXPECT_EQ(row.params[0], std::make_pair(VARTYPE{VT_I4}, USHORT{PARAMFLAG_FIN}));
  EXPECT_EQ(row.result, VT_SAFEARRAY);
  EXPECT_EQ(row.result_points_to, VT_VARIANT);
  EXPECT_EQ(row.slot_offset, 10 * static_cast<SHORT>(sizeof(void*)));
  const Function close = FunctionOf(info.get(), 7);
  EXPECT_EQ(close.id, 208);
  EXPECT_EQ(close.result, VT_VOID);
  FUNCDESC* none = nullptr;
  EXPECT_EQ(info->lpVtbl->GetFuncDesc(info.get(), 9, &none), TYPE_E_ELEMENTNOTFOUND);

  BSTR names[3] = {};
  UINT count = 0;
  ASSERT_EQ(info->lpVtbl->GetNames(info.get(), 206, names, 3, &count), S_OK);
  ASSERT_EQ(count, 3u);
  EXPECT_EQ(Ansi(names[0]) + " " + Ansi(names[1]) + " " + Ansi(names[2]), "Open TableName Parser");
  for (BSTR n : names) FreeBstr(n);
}

TEST(TypeInformation, LeadsFromTheTableToTheHiddenParserInterface) {
  ComPtr<IDispatch> table = NewTable();
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(table->lpVtbl->GetTypeInfo(table.get(), 0, 0, info.put()), S_OK);
  FUNCDESC* open = nullptr;
  ASSERT_EQ(info->lpVtbl->GetFuncDesc(info.get(), 5, &open), S_OK);
  const TYPEDESC& parser_param = open->lprgelemdescParam[1].tdesc;
  ASSERT_EQ(parser_param.vt, VT_PTR);
  ASSERT_EQ(parser_param.lptdesc->vt, VT_USERDEFINED);
  ComPtr<ITypeInfo> parser;
  ASSERT_EQ(info->lpVtbl->GetRefTypeInfo(info.get(), parser_param.lptdesc->hreftype, parser.put()),
            S_OK);
  info->lpVtbl->ReleaseFuncDesc(info.get(), open);
  const TypeAttr attr = AttrOf(parser.get());
  EXPECT_TRUE(Same(attr.guid, kParserInterface.Iid));
  EXPECT_TRUE(attr.flags & TYPEFLAG_FHIDDEN);
  struct Case {
    UINT index;
    MEMBERID id;
    bool hidden;
  };
  for (const Case& c : {Case{4, 206, true}, Case{5, 207, true}, Case{10, 211, true},
                        Case{0, 201, false}, Case{9, 203, false}}) {
    const Function f = FunctionOf(parser.get(), c.index);
    EXPECT_EQ(f.id, c.id);
    EXPECT_EQ(f.hidden, c.hidden) << c.id;
  }
  const Function get_table = FunctionOf(parser.get(), 5);
  ASSERT_EQ(get_table.params.size(), 2u);
  EXPECT_EQ(get_table.params[1],
            std::make_pair(VARTYPE{VT_VARIANT}, USHORT{PARAMFLAG_FIN | PARAMFLAG_FOPT}));
}

TEST(TypeInformation, MarksOutParametersAndPropertyPuts) {
  ComPtr<IDispatch> table = NewTable();
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(table->lpVtbl->GetTypeInfo(table.get(), 0, 0, info.put()), S_OK);
  ComPtr<ITypeInfo> keylist;
  ASSERT_EQ(info->lpVtbl->GetRefTypeInfo(info.get(), 5, keylist.put()), S_OK);
  const Function by_index = FunctionOf(keylist.get(), 1);
  ASSERT_EQ(by_index.params.size(), 3u);
  EXPECT_EQ(by_index.params[1], std::make_pair(VARTYPE{VT_PTR}, USHORT{PARAMFLAG_FOUT}));
  EXPECT_EQ(by_index.params[2], std::make_pair(VARTYPE{VT_PTR}, USHORT{PARAMFLAG_FOUT}));
  EXPECT_EQ(FunctionOf(keylist.get(), 3).kind, INVOKE_PROPERTYPUT);
  EXPECT_EQ(info->lpVtbl->GetRefTypeInfo(info.get(), 6, keylist.put()), TYPE_E_ELEMENTNOTFOUND);
}

}  // namespace
}  // namespace voziroz::testing
