/* The floor of the Python host's benchmark: the same work through the C interface, as a host
 * written in C does it. Every call by name (GetIDsOfNames once per member, then Invoke).
 *
 * usage: host_tables_bench FILE rows|gettable|walk
 *   rows:     Open, Execute, then Row(i) of a Table on each of the five tables, every row
 *   gettable: Open, Execute, then GetTable(name, "rows") of the five tables
 *   walk:     Open and Execute (not timed), then Row(i) of a Table on EVENT for every row
 * Every cell is read. Prints "seconds <wall> cpu <user + system> peak_kb <kb> cells <n>
 * check <sum>". The server must be registered ($VOZIROZ_REGISTRY). */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <time.h>

#include "include/voziroz.h"

static const char* const kTables[] = {"PERSON", "FAMILY", "EVENT", "SOURCE", "MULTIMEDIA"};

static double Now(void) {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec + now.tv_nsec / 1e9;
}

static void Fail(const char* what, HRESULT hr) {
  fprintf(stderr, "host_tables_bench: %s failed (0x%08X)\n", what, (unsigned)hr);
  exit(1);
}

static DISPID DispidOf(IDispatch* object, const char* name) {
  BSTR text = vz_bstr_from_utf8(name);
  DISPID id = DISPID_UNKNOWN;
  HRESULT hr = object->lpVtbl->GetIDsOfNames(object, &IID_NULL, &text, 1, 0, &id);
  vz_bstr_free(text);
  if (hr != S_OK) Fail(name, hr);
  return id;
}

/* Invokes `id` with `count` arguments (given last first, as the standard passes them). */
static VARIANT Call(IDispatch* object, DISPID id, WORD flags, VARIANT* reversed, UINT count) {
  DISPPARAMS parameters = {reversed, NULL, count, 0};
  VARIANT result;
  EXCEPINFO exception;
  UINT argument_error = 0;
  HRESULT hr;
  vz_variant_init(&result);
  memset(&exception, 0, sizeof exception);
  hr = object->lpVtbl->Invoke(object, id, &IID_NULL, 0, flags, &parameters, &result, &exception,
                              &argument_error);
  if (hr != S_OK) Fail("Invoke", hr);
  return result;
}

static VARIANT Text(const char* text) {
  VARIANT value;
  value.vt = VT_BSTR;
  value.bstrVal = vz_bstr_from_utf8(text);
  return value;
}

static VARIANT Integer(LONG number) {
  VARIANT value;
  value.vt = VT_I4;
  value.lVal = number;
  return value;
}

/* What a host does with a cell: read its kind and value. */
static unsigned long long Touch(const VARIANT* cell) {
  switch (cell->vt) {
    case VT_BSTR:
      return vz_bstr_len(cell->bstrVal) + (cell->bstrVal ? cell->bstrVal[0] : 0);
    case VT_I4:
      return (unsigned long long)cell->lVal;
    case VT_UI1:
      return cell->bVal;
    default:
      return cell->vt;
  }
}

static unsigned long long TouchArray(SAFEARRAY* array, unsigned long long* cells) {
  unsigned long long sum = 0, count = 1;
  UINT dim;
  const VARIANT* elements = (const VARIANT*)array->pvData;
  for (dim = 0; dim < array->cDims; ++dim) count *= array->rgsabound[dim].cElements;
  for (unsigned long long i = 0; i < count; ++i) sum += Touch(&elements[i]);
  *cells += count;
  return sum;
}

static IDispatch* OpenedParser(const char* file) {
  IDispatch* parser = NULL;
  HRESULT hr = vz_create_object("Voziroz.Parser", &parser);
  VARIANT name = Text(file), done;
  if (hr != S_OK) Fail("creating Voziroz.Parser", hr);
  done = Call(parser, DispidOf(parser, "Open"), DISPATCH_METHOD, &name, 1);
  vz_variant_clear(&name);
  done = Call(parser, DispidOf(parser, "Execute"), DISPATCH_METHOD, NULL, 0);
  if (done.vt != VT_BOOL || !done.boolVal) Fail("Execute", E_FAIL);
  return parser;
}

static unsigned long long ReadTables(const char* file, unsigned long long* cells) {
  IDispatch* parser = OpenedParser(file);
  DISPID get_table = DispidOf(parser, "GetTable");
  unsigned long long sum = 0;
  for (size_t t = 0; t < sizeof kTables / sizeof kTables[0]; ++t) {
    VARIANT arguments[2];
    VARIANT rows;
    arguments[0] = Text("rows"); /* the second argument */
    arguments[1] = Text(kTables[t]);
    rows = Call(parser, get_table, DISPATCH_METHOD, arguments, 2);
    sum += TouchArray(rows.parray, cells);
    vz_variant_clear(&rows);
    vz_variant_clear(&arguments[0]);
    vz_variant_clear(&arguments[1]);
  }
  parser->lpVtbl->Release(parser);
  return sum;
}

static unsigned long long WalkTable(IDispatch* parser, const char* name,
                                    unsigned long long* cells) {
  IDispatch* table = NULL;
  VARIANT arguments[2], count;
  DISPID row;
  unsigned long long sum = 0;
  HRESULT hr = vz_create_object("Voziroz.Table", &table);
  if (hr != S_OK) Fail("creating Voziroz.Table", hr);
  arguments[0].vt = VT_DISPATCH;
  arguments[0].pdispVal = parser;
  arguments[1] = Text(name);
  Call(table, DispidOf(table, "Open"), DISPATCH_METHOD, arguments, 2);
  vz_variant_clear(&arguments[1]);
  count = Call(table, DispidOf(table, "RowCount"), DISPATCH_PROPERTYGET, NULL, 0);
  row = DispidOf(table, "Row");
  for (LONG i = 0; i <= count.lVal; ++i) {
    VARIANT index = Integer(i);
    VARIANT cells_of_row = Call(table, row, DISPATCH_PROPERTYGET, &index, 1);
    sum += TouchArray(cells_of_row.parray, cells);
    vz_variant_clear(&cells_of_row);
  }
  table->lpVtbl->Release(table);
  return sum;
}

static unsigned long long RowsOfTables(const char* file, unsigned long long* cells) {
  IDispatch* parser = OpenedParser(file);
  unsigned long long sum = 0;
  for (size_t t = 0; t < sizeof kTables / sizeof kTables[0]; ++t) {
    sum += WalkTable(parser, kTables[t], cells);
  }
  parser->lpVtbl->Release(parser);
  return sum;
}

static double CpuSeconds(void) {
  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
         usage.ru_stime.tv_usec / 1e6;
}

int main(int argc, char** argv) {
  unsigned long long cells = 0, sum;
  double start, cpu;
  IDispatch* parser = NULL;
  struct rusage usage;
  const char* mode = argc == 3 ? argv[2] : "";
  if (strcmp(mode, "rows") != 0 && strcmp(mode, "gettable") != 0 && strcmp(mode, "walk") != 0) {
    fprintf(stderr, "usage: host_tables_bench FILE rows|gettable|walk\n");
    return 2;
  }
  if (strcmp(mode, "walk") == 0) parser = OpenedParser(argv[1]);
  start = Now();
  cpu = CpuSeconds();
  if (parser) {
    sum = WalkTable(parser, "EVENT", &cells);
    parser->lpVtbl->Release(parser);
  } else {
    sum = strcmp(mode, "rows") == 0 ? RowsOfTables(argv[1], &cells) : ReadTables(argv[1], &cells);
  }
  const double seconds = Now() - start;
  cpu = CpuSeconds() - cpu;
  getrusage(RUSAGE_SELF, &usage);
  printf("seconds %.3f cpu %.3f peak_kb %ld cells %llu check %llu\n", seconds, cpu, usage.ru_maxrss,
         cells, sum);
  return 0;
}
