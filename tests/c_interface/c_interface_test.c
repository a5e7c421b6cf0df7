/* The C interface used from plain C, as a host written in C uses it: strings, variants, arrays,
 * GUIDs, the registry, and objects created by ProgID and called late-bound and through their
 * function tables. Exits 0 when every check holds. */
#define _DEFAULT_SOURCE
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "include/voziroz.h"

static int failures = 0;

#define CHECK(condition)                                                      \
  do {                                                                        \
    if (!(condition)) {                                                       \
      fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #condition); \
      ++failures;                                                             \
    }                                                                         \
  } while (0)

#define CHECK_HR(expression, expected)                                                        \
  do {                                                                                        \
    HRESULT got_ = (expression);                                                              \
    if (got_ != (expected)) {                                                                 \
      fprintf(stderr, "%s:%d: %s gave 0x%08X, not 0x%08X\n", __FILE__, __LINE__, #expression, \
              (unsigned)got_, (unsigned)(expected));                                          \
      ++failures;                                                                             \
    }                                                                                         \
  } while (0)

static int SameText(BSTR text, const char* utf8) {
  char* got = vz_bstr_to_utf8(text);
  int same = got && strcmp(got, utf8) == 0;
  vz_free(got);
  return same;
}

static int SameGuid(const GUID* a, const GUID* b) {
  return memcmp(a, b, sizeof(GUID)) == 0;
}

/* The description of the thread's error information ("" when there is none), in `out`. */
static void ErrorDescription(char* out, size_t size) {
  IErrorInfo* info = NULL;
  BSTR description = NULL;
  char* utf8;
  out[0] = 0;
  if (vz_get_error_info(0, &info) != S_OK) return;
  info->lpVtbl->GetDescription(info, &description);
  info->lpVtbl->Release(info);
  utf8 = vz_bstr_to_utf8(description);
  snprintf(out, size, "%s", utf8 ? utf8 : "");
  vz_free(utf8);
  vz_bstr_free(description);
}

static void TestStrings(void) {
  BSTR text = vz_bstr_from_utf8("h\xC3\xA9llo \xF0\x9F\x98\x80"); /* héllo 😀: 8 units */
  uint32_t bytes;
  BSTR zeros = vz_bstr_alloc_len(NULL, 3);
  BSTR bad = vz_bstr_from_utf8(
      "a\xFF"
      "b");
  CHECK(vz_bstr_len(text) == 8);
  memcpy(&bytes, (char*)text - 4, 4);
  CHECK(bytes == 16);
  CHECK(text[8] == 0);
  CHECK(text[1] == 0xE9);
  CHECK(SameText(text, "h\xC3\xA9llo \xF0\x9F\x98\x80"));
  CHECK(vz_bstr_len(zeros) == 3 && zeros[0] == 0 && zeros[3] == 0);
  CHECK(vz_bstr_len(bad) == 3 && bad[1] == 0xFFFD);
  CHECK(vz_bstr_len(NULL) == 0);
  CHECK(SameText(NULL, ""));
  CHECK(vz_bstr_from_utf8(NULL) == NULL);
  vz_bstr_free(text);
  vz_bstr_free(zeros);
  vz_bstr_free(bad);
  vz_bstr_free(NULL);
}

static void TestVariantsAndArrays(void) {
  VARIANT text, copy, element;
  SAFEARRAYBOUND bounds[2] = {{2, 1}, {3, 0}}; /* rows 1..2, columns 0..2 */
  SAFEARRAY* array = vz_safearray_create(VT_VARIANT, 2, bounds);
  SAFEARRAY* duplicate = NULL;
  LONG index[2] = {2, 1};
  LONG bound = 0;
  void* place = NULL;

  vz_variant_init(&text);
  text.vt = VT_BSTR;
  text.bstrVal = vz_bstr_from_utf8("value");
  vz_variant_init(&copy);
  CHECK_HR(vz_variant_copy(&copy, &text), S_OK);
  CHECK(copy.vt == VT_BSTR && copy.bstrVal != text.bstrVal && SameText(copy.bstrVal, "value"));
  CHECK_HR(vz_variant_clear(&copy), S_OK);
  CHECK(copy.vt == VT_EMPTY);
  copy.vt = 0x77;
  CHECK_HR(vz_variant_clear(&copy), DISP_E_BADVARTYPE);

  CHECK(array != NULL);
  CHECK(array->cDims == 2 && array->cbElements == sizeof(VARIANT));
  CHECK(array->rgsabound[0].cElements == 3 && array->rgsabound[1].lLbound == 1);
  CHECK_HR(vz_safearray_get_lbound(array, 1, &bound), S_OK);
  CHECK(bound == 1);
  CHECK_HR(vz_safearray_get_ubound(array, 2, &bound), S_OK);
  CHECK(bound == 2);
  CHECK_HR(vz_safearray_get_ubound(array, 3, &bound), DISP_E_BADINDEX);
  CHECK_HR(vz_safearray_put_element(array, index, &text), S_OK);
  /* Element (2, 1): first index 2 - 1 = 1, second 1; the first index varies fastest. */
  CHECK(((VARIANT*)array->pvData)[1 + 2 * 1].vt == VT_BSTR);
  CHECK_HR(vz_safearray_copy(array, &duplicate), S_OK);
  CHECK_HR(vz_safearray_get_element(duplicate, index, &element), S_OK);
  CHECK(SameText(element.bstrVal, "value"));
  vz_variant_clear(&element);
  index[0] = 3;
  CHECK_HR(vz_safearray_ptr_of_index(array, index, &place), DISP_E_BADINDEX);
  CHECK(vz_safearray_create(VT_I4, 1, bounds) == NULL);
  CHECK(vz_safearray_create(VT_VARIANT, 0, bounds) == NULL);
  CHECK_HR(vz_safearray_destroy(array), S_OK);
  CHECK_HR(vz_safearray_destroy(duplicate), S_OK);
  vz_variant_clear(&text);
}

static void TestGuids(void) {
  GUID guid;
  char* text = NULL;
  CHECK_HR(vz_guid_from_string("{c75f7a80-b719-4164-afc1-56a316b44679}", &guid), S_OK);
  CHECK(SameGuid(&guid, &CLSID_Parser));
  CHECK_HR(vz_guid_to_string(&CLSID_Table, &text), S_OK);
  CHECK(text && strcmp(text, "{FA374253-E02E-461A-85FC-9370260773F1}") == 0);
  vz_free(text);
  CHECK_HR(vz_guid_from_string("{C75F7A80-B719-4164-AFC1-56A316B4467}", &guid), CO_E_CLASSSTRING);
  CHECK_HR(vz_guid_from_string("C75F7A80-B719-4164-AFC1-56A316B44679", &guid), CO_E_CLASSSTRING);
  CHECK_HR(vz_guid_from_string("{C75F7A80+B719-4164-AFC1-56A316B44679}", &guid), CO_E_CLASSSTRING);
}

static void TestObjects(void) {
  IDispatch* table = NULL;
  ITable* early = NULL;
  BSTR name = vz_bstr_from_utf8("rowcount");
  DISPID id = 0;
  DISPPARAMS none = {NULL, NULL, 0, 0};
  VARIANT result;
  LONG rows = 0;
  CLSID clsid;
  char message[512];

  CHECK_HR(vz_register_server(VOZIROZ_SERVER), S_OK);
  CHECK_HR(vz_clsid_from_progid("voziroz.table", &clsid), S_OK);
  CHECK(SameGuid(&clsid, &CLSID_Table));
  CHECK_HR(vz_create_object("Voziroz.Table", &table), S_OK);
  CHECK_HR(table->lpVtbl->GetIDsOfNames(table, &IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id),
           S_OK);
  CHECK(id == 201);
  vz_variant_init(&result);
  CHECK_HR(table->lpVtbl->Invoke(table, id, &IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                 &none, &result, NULL, NULL),
           S_OK);
  CHECK(result.vt == VT_I4 && result.lVal == -1);
  CHECK_HR(table->lpVtbl->QueryInterface(table, &IID_ITable, (void**)&early), S_OK);
  CHECK_HR(early->lpVtbl->get_RowCount(early, &rows), S_OK);
  CHECK(rows == -1);
  early->lpVtbl->Release(early);
  table->lpVtbl->Release(table);
  vz_bstr_free(name);

  /* Every class of the library is served; a name that is none fails. */
  CHECK_HR(vz_create_object("Voziroz.FTP", &table), S_OK);
  table->lpVtbl->Release(table);
  table = (IDispatch*)1;
  CHECK_HR(vz_create_object("Nobody.Here", &table), CO_E_CLASSSTRING);
  ErrorDescription(message, sizeof message);
  CHECK(strcmp(message, "no class is registered as \"Nobody.Here\"") == 0);
  CHECK_HR(vz_get_error_info(0, (IErrorInfo**)&table), S_FALSE); /* taken once only */
  CHECK(table == NULL);

  vz_free_unused_libraries();
  CHECK_HR(vz_create_object("Voziroz.Table", &table), S_OK); /* loads the library again */
  table->lpVtbl->Release(table);

  CHECK_HR(vz_unregister_server(VOZIROZ_SERVER), S_OK);
  CHECK_HR(vz_create_object("Voziroz.Table", &table), CO_E_CLASSSTRING);
}

static void TestALibraryThatIsNotThere(void) {
  vz_registry* change = NULL;
  IDispatch* object = NULL;
  char message[512];
  CHECK_HR(vz_registry_open(&change), S_OK);
  CHECK_HR(vz_registry_set_value(change, "Gone.Thing\\Clsid", "",
                                 "{11111111-2222-3333-4444-555555555555}"),
           S_OK);
  CHECK_HR(
      vz_registry_set_value(change, "CLSID\\{11111111-2222-3333-4444-555555555555}\\InprocServer32",
                            "", "/no/such/libgone.so"),
      S_OK);
  CHECK_HR(vz_registry_set_value(change, "Bad\tKey", "", "x"), E_INVALIDARG);
  CHECK_HR(vz_registry_commit(change), S_OK);
  vz_registry_close(change);
  CHECK_HR(vz_create_object("Gone.Thing", &object), CO_E_DLLNOTFOUND);
  ErrorDescription(message, sizeof message);
  CHECK(strstr(message, "cannot load /no/such/libgone.so") == message);
}

int main(void) {
  char folder[] = "/tmp/voziroz-c-XXXXXX";
  char registry[256];
  char command[300];
  if (!mkdtemp(folder)) return 2;
  snprintf(registry, sizeof registry, "%s/registry", folder);
  setenv("VOZIROZ_REGISTRY", registry, 1);

  TestStrings();
  TestVariantsAndArrays();
  TestGuids();
  TestObjects();
  TestALibraryThatIsNotThere();

  snprintf(command, sizeof command, "rm -rf '%s'", folder);
  if (system(command) != 0) ++failures;
  printf("%d failed\n", failures);
  return failures == 0 ? 0 : 1;
}
