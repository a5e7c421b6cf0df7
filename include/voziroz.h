/* voziroz.h: the C interface of Voziroz, for hosts in any language.
 *
 * Voziroz is an in-process automation server: libvoziroz.so exports DllGetClassObject,
 * DllCanUnloadNow, DllRegisterServer and DllUnregisterServer, and its objects (Voziroz.Parser,
 * Voziroz.Table, ...) are called late-bound through IDispatch. libvozcom.so is the small platform
 * library that plays the part of the system's object services: the registry, creating objects by
 * ProgID or CLSID, strings, variants, arrays and error information. A host links libvozcom.so
 * only; it finds libvoziroz.so through the registry (see `voziroz register`).
 *
 * Everything here has the shape of the automation binary standard, so host code written against
 * this header also fits the Windows build, where the same types come from the system headers:
 * interfaces are structs whose first member points to a table of functions (IUnknown's three,
 * then IDispatch's four, then the interface's own), results are HRESULT codes, strings are BSTRs,
 * values are VARIANTs, arrays are SAFEARRAYs.
 *
 * Rules
 * - Handles are opaque or interface pointers. Interfaces are reference-counted: every interface
 *   pointer a function hands out carries one reference, which the receiver gives back with
 *   Release. Objects live while a reference exists.
 * - Who frees what: the caller frees whatever a function returns through an out-parameter:
 *   BSTRs with vz_bstr_free, VARIANTs with vz_variant_clear, SAFEARRAYs with
 *   vz_safearray_destroy, char strings (UTF-8) with vz_free, a vz_registry with
 *   vz_registry_close. [in] arguments stay the caller's; the callee copies what it keeps.
 *   An [out] argument is overwritten without being freed first (pass it empty).
 * - Errors: every function returns an HRESULT (negative = failure; FAILED(hr)); the few that
 *   return a pointer return NULL on failure. A failed IDispatch::Invoke of a member that raised
 *   an error returns DISP_E_EXCEPTION and fills the EXCEPINFO (source, description, scode). A
 *   failed call through an interface's own function table, and a failed vz_ function, leave
 *   error information for the calling thread: vz_get_error_info hands it over (and clears it).
 * - Threads: objects are apartment-threaded: call each object from one thread at a time.
 * - Nothing here throws; no C++ type crosses this interface.
 *
 * Text: BSTRs are UTF-16, length-counted: a 4-byte byte length stands before the first
 * character and a NUL follows the last; the NULL BSTR is the empty string. char strings are
 * UTF-8. Inside the component text is in its code page: Windows-1252, whose missing characters
 * become '?' (except in file names, which reach the system whole), or UTF-8 when
 * VOZIROZ_CODE_PAGE=utf-8 chooses it.
 * Arrays: SAFEARRAYs of VARIANT elements with one or two dimensions. Indices are given first
 * dimension first; the first index varies fastest in memory; rgsabound holds the bounds last
 * dimension first (as the standard stores them). A two-dimensional result is (row, column).
 * Values: the kinds that come back are VT_EMPTY, VT_NULL, VT_I1, VT_UI1, VT_I4, VT_BOOL, VT_ERROR,
 * VT_BSTR, VT_DISPATCH, VT_UNKNOWN and VT_ARRAY | VT_VARIANT. Arguments may be any of them,
 * VT_BYREF to any of them, other integer kinds and VT_R4 / VT_R8: a number is converted to a
 * declared I4, BOOL or BSTR as VariantChangeType does (an I4 rounded half to even; DISP_E_OVERFLOW
 * out of range, DISP_E_TYPEMISMATCH when it cannot convert, with the argument's position in
 * puArgErr); where a VARIANT is declared, a whole number that fits 32 bits arrives as VT_I4 and any
 * other number as its text. Objects of other components are carried and given back as they came.
 *
 * The header is long because it carries the binary shapes of the standard; it has no logic.
 */
#ifndef VOZIROZ_H_
#define VOZIROZ_H_

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define VZ_API __attribute__((visibility("default")))

/* ---- Basic types of the standard ------------------------------------------------------- */

typedef int32_t HRESULT;
typedef int32_t SCODE;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;
typedef uint32_t DWORD;
typedef uint16_t WORD;
typedef uint16_t USHORT;
typedef int16_t SHORT;
typedef uint8_t BYTE;
typedef char CHAR;
typedef int INT;
typedef unsigned int UINT;
typedef int BOOL;
typedef float FLOAT;
typedef double DOUBLE;
typedef uintptr_t ULONG_PTR;
typedef uint32_t LCID;
typedef int32_t DISPID;
typedef DISPID MEMBERID;
typedef DWORD HREFTYPE;
typedef uint16_t VARTYPE;
typedef int16_t VARIANT_BOOL;
typedef uint16_t OLECHAR;
typedef OLECHAR* BSTR;
typedef OLECHAR* LPOLESTR;

typedef struct _GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
} GUID;
typedef GUID IID;
typedef GUID CLSID;
typedef const GUID* REFGUID;
typedef const IID* REFIID;
typedef const CLSID* REFCLSID;

#define SUCCEEDED(hr) ((HRESULT)(hr) >= 0)
#define FAILED(hr) ((HRESULT)(hr) < 0)

#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define E_NOTIMPL ((HRESULT)0x80004001u)
#define E_NOINTERFACE ((HRESULT)0x80004002u)
#define E_POINTER ((HRESULT)0x80004003u)
#define E_FAIL ((HRESULT)0x80004005u)
#define E_UNEXPECTED ((HRESULT)0x8000FFFFu)
#define E_OUTOFMEMORY ((HRESULT)0x8007000Eu)
#define E_INVALIDARG ((HRESULT)0x80070057u)
#define CLASS_E_NOAGGREGATION ((HRESULT)0x80040110u)
#define CLASS_E_CLASSNOTAVAILABLE ((HRESULT)0x80040111u)
#define REGDB_E_KEYMISSING ((HRESULT)0x80040152u)
#define REGDB_E_CLASSNOTREG ((HRESULT)0x80040154u)
#define CO_E_CLASSSTRING ((HRESULT)0x800401F3u)
#define CO_E_DLLNOTFOUND ((HRESULT)0x800401F8u)
#define CO_E_ERRORINDLL ((HRESULT)0x800401F9u)
#define DISP_E_UNKNOWNINTERFACE ((HRESULT)0x80020001u)
#define DISP_E_MEMBERNOTFOUND ((HRESULT)0x80020003u)
#define DISP_E_PARAMNOTFOUND ((HRESULT)0x80020004u)
#define DISP_E_TYPEMISMATCH ((HRESULT)0x80020005u)
#define DISP_E_UNKNOWNNAME ((HRESULT)0x80020006u)
#define DISP_E_NONAMEDARGS ((HRESULT)0x80020007u)
#define DISP_E_BADVARTYPE ((HRESULT)0x80020008u)
#define DISP_E_EXCEPTION ((HRESULT)0x80020009u)
#define DISP_E_OVERFLOW ((HRESULT)0x8002000Au)
#define DISP_E_BADINDEX ((HRESULT)0x8002000Bu)
#define DISP_E_ARRAYISLOCKED ((HRESULT)0x8002000Du)
#define DISP_E_BADPARAMCOUNT ((HRESULT)0x8002000Eu)
#define TYPE_E_ELEMENTNOTFOUND ((HRESULT)0x8002802Bu)

#define VARIANT_TRUE ((VARIANT_BOOL)-1)
#define VARIANT_FALSE ((VARIANT_BOOL)0)
#define LOCALE_USER_DEFAULT ((LCID)0x400)

#define DISPID_UNKNOWN (-1)
#define DISPID_VALUE 0
#define DISPID_PROPERTYPUT (-3)
#define DISPID_THIS (-613) /* the standard's value (dispex.h), as script engines pass it */
#define MEMBERID_NIL DISPID_UNKNOWN

#define DISPATCH_METHOD 1
#define DISPATCH_PROPERTYGET 2
#define DISPATCH_PROPERTYPUT 4
#define DISPATCH_PROPERTYPUTREF 8

enum VARENUM {
  VT_EMPTY = 0,
  VT_NULL = 1,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_R4 = 4,
  VT_R8 = 5,
  VT_BSTR = 8,
  VT_DISPATCH = 9,
  VT_ERROR = 10,
  VT_BOOL = 11,
  VT_VARIANT = 12,
  VT_UNKNOWN = 13,
  VT_I1 = 16,
  VT_UI1 = 17,
  VT_UI2 = 18,
  VT_UI4 = 19,
  VT_I8 = 20,
  VT_UI8 = 21,
  VT_INT = 22,
  VT_UINT = 23,
  VT_VOID = 24,
  VT_HRESULT = 25,
  VT_PTR = 26,
  VT_SAFEARRAY = 27,
  VT_USERDEFINED = 29,
  VT_ARRAY = 0x2000,
  VT_BYREF = 0x4000,
  VT_TYPEMASK = 0xFFF
};

typedef struct IUnknown IUnknown;
typedef struct IDispatch IDispatch;
typedef struct ITypeInfo ITypeInfo;
typedef struct ITypeLib ITypeLib;   /* not provided; declared for ITypeInfo's function table */
typedef struct ITypeComp ITypeComp; /* not provided; declared for ITypeInfo's function table */

/* ---- Values ------------------------------------------------------------------------------ */

/* The two words stand in reverse order: rgsabound[0] is the last dimension. */
typedef struct tagSAFEARRAYBOUND {
  ULONG cElements;
  LONG lLbound;
} SAFEARRAYBOUND;

typedef struct tagSAFEARRAY {
  USHORT cDims;
  USHORT fFeatures;
  ULONG cbElements;
  ULONG cLocks;
  void* pvData;
  SAFEARRAYBOUND rgsabound[1];
} SAFEARRAY;

#define FADF_HAVEVARTYPE 0x80
#define FADF_VARIANT 0x800

typedef struct tagVARIANT VARIANT;
typedef VARIANT VARIANTARG;
struct tagVARIANT {
  VARTYPE vt;
  WORD wReserved1;
  WORD wReserved2;
  WORD wReserved3;
  union {
    LONGLONG llVal;
    LONG lVal;
    BYTE bVal;
    SHORT iVal;
    FLOAT fltVal;
    DOUBLE dblVal;
    VARIANT_BOOL boolVal;
    SCODE scode;
    BSTR bstrVal;
    IUnknown* punkVal;
    IDispatch* pdispVal;
    SAFEARRAY* parray;
    BYTE* pbVal;
    SHORT* piVal;
    LONG* plVal;
    LONGLONG* pllVal;
    VARIANT_BOOL* pboolVal;
    SCODE* pscode;
    BSTR* pbstrVal;
    IUnknown** ppunkVal;
    IDispatch** ppdispVal;
    SAFEARRAY** pparray;
    VARIANT* pvarVal;
    void* byref;
    CHAR cVal;
    USHORT uiVal;
    ULONG ulVal;
    ULONGLONG ullVal;
    INT intVal;
    UINT uintVal;
    CHAR* pcVal;
    struct {
      void* pvRecord;
      void* pRecInfo;
    } brecVal;
  };
};

typedef struct tagDISPPARAMS {
  VARIANTARG* rgvarg; /* arguments in reverse order: rgvarg[cArgs - 1] is the first */
  DISPID* rgdispidNamedArgs;
  UINT cArgs;
  UINT cNamedArgs;
} DISPPARAMS;

typedef struct tagEXCEPINFO {
  WORD wCode;
  WORD wReserved;
  BSTR bstrSource;
  BSTR bstrDescription;
  BSTR bstrHelpFile;
  DWORD dwHelpContext;
  void* pvReserved;
  HRESULT (*pfnDeferredFillIn)(struct tagEXCEPINFO*);
  SCODE scode;
} EXCEPINFO;

/* ---- Type information -------------------------------------------------------------------- */

typedef enum tagTYPEKIND {
  TKIND_ENUM,
  TKIND_RECORD,
  TKIND_MODULE,
  TKIND_INTERFACE,
  TKIND_DISPATCH,
  TKIND_COCLASS,
  TKIND_ALIAS,
  TKIND_UNION
} TYPEKIND;
typedef enum tagFUNCKIND {
  FUNC_VIRTUAL,
  FUNC_PUREVIRTUAL,
  FUNC_NONVIRTUAL,
  FUNC_STATIC,
  FUNC_DISPATCH
} FUNCKIND;
typedef enum tagINVOKEKIND {
  INVOKE_FUNC = 1,
  INVOKE_PROPERTYGET = 2,
  INVOKE_PROPERTYPUT = 4,
  INVOKE_PROPERTYPUTREF = 8
} INVOKEKIND;
typedef enum tagCALLCONV { CC_CDECL = 1, CC_STDCALL = 4 } CALLCONV;

#define TYPEFLAG_FCANCREATE 0x2
#define TYPEFLAG_FHIDDEN 0x10
#define TYPEFLAG_FDUAL 0x40
#define TYPEFLAG_FOLEAUTOMATION 0x100
#define TYPEFLAG_FDISPATCHABLE 0x1000
#define FUNCFLAG_FHIDDEN 0x40
#define PARAMFLAG_FIN 0x1
#define PARAMFLAG_FOUT 0x2
#define PARAMFLAG_FRETVAL 0x8
#define PARAMFLAG_FOPT 0x10
#define IMPLTYPEFLAG_FDEFAULT 0x1

typedef struct tagTYPEDESC {
  union {
    const struct tagTYPEDESC* lptdesc; /* VT_PTR, VT_SAFEARRAY: the type pointed to */
    void* lpadesc;
    HREFTYPE hreftype; /* VT_USERDEFINED: for ITypeInfo::GetRefTypeInfo */
  };
  VARTYPE vt;
} TYPEDESC;

typedef struct tagIDLDESC {
  ULONG_PTR dwReserved;
  USHORT wIDLFlags;
} IDLDESC;

typedef struct tagPARAMDESC {
  void* pparamdescex;
  USHORT wParamFlags;
} PARAMDESC;

typedef struct tagELEMDESC {
  TYPEDESC tdesc;
  union {
    IDLDESC idldesc;
    PARAMDESC paramdesc;
  };
} ELEMDESC;

typedef struct tagTYPEATTR {
  GUID guid;
  LCID lcid;
  DWORD dwReserved;
  MEMBERID memidConstructor;
  MEMBERID memidDestructor;
  LPOLESTR lpstrSchema;
  ULONG cbSizeInstance;
  TYPEKIND typekind;
  WORD cFuncs;
  WORD cVars;
  WORD cImplTypes;
  WORD cbSizeVft;
  WORD cbAlignment;
  WORD wTypeFlags;
  WORD wMajorVerNum;
  WORD wMinorVerNum;
  TYPEDESC tdescAlias;
  IDLDESC idldescType;
} TYPEATTR;

typedef struct tagFUNCDESC {
  MEMBERID memid;
  SCODE* lprgscode;
  ELEMDESC* lprgelemdescParam;
  FUNCKIND funckind;
  INVOKEKIND invkind;
  CALLCONV callconv;
  SHORT cParams;
  SHORT cParamsOpt;
  SHORT oVft;
  SHORT cScodes;
  ELEMDESC elemdescFunc;
  WORD wFuncFlags;
} FUNCDESC;

/* ---- Interfaces of the standard ---------------------------------------------------------- */

/* The three functions every interface starts with, for interface type I. */
#define VZ_IUNKNOWN_FUNCTIONS(I)                                      \
  HRESULT (*QueryInterface)(I * This, REFIID riid, void** ppvObject); \
  ULONG (*AddRef)(I * This);                                          \
  ULONG (*Release)(I * This)

/* IUnknown's, then IDispatch's four: the start of every dispatch interface. */
#define VZ_IDISPATCH_FUNCTIONS(I)                                                                \
  VZ_IUNKNOWN_FUNCTIONS(I);                                                                      \
  HRESULT (*GetTypeInfoCount)(I * This, UINT * pctinfo);                                         \
  HRESULT (*GetTypeInfo)(I * This, UINT iTInfo, LCID lcid, ITypeInfo * *ppTInfo);                \
  HRESULT(*GetIDsOfNames)                                                                        \
  (I * This, REFIID riid, LPOLESTR * rgszNames, UINT cNames, LCID lcid, DISPID * rgDispId);      \
  HRESULT(*Invoke)                                                                               \
  (I * This, DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS * pDispParams, \
   VARIANT * pVarResult, EXCEPINFO * pExcepInfo, UINT * puArgErr)

#define VZ_INTERFACE(I)           \
  struct I {                      \
    const struct I##Vtbl* lpVtbl; \
  }

typedef struct IUnknownVtbl {
  VZ_IUNKNOWN_FUNCTIONS(IUnknown);
} IUnknownVtbl;
VZ_INTERFACE(IUnknown);

typedef struct IDispatchVtbl {
  VZ_IDISPATCH_FUNCTIONS(IDispatch);
} IDispatchVtbl;
VZ_INTERFACE(IDispatch);

typedef struct IClassFactory IClassFactory;
typedef struct IClassFactoryVtbl {
  VZ_IUNKNOWN_FUNCTIONS(IClassFactory);
  HRESULT(*CreateInstance)
  (IClassFactory* This, IUnknown* pUnkOuter, REFIID riid, void** ppvObject);
  HRESULT (*LockServer)(IClassFactory* This, BOOL fLock);
} IClassFactoryVtbl;
VZ_INTERFACE(IClassFactory);

typedef struct ISupportErrorInfo ISupportErrorInfo;
typedef struct ISupportErrorInfoVtbl {
  VZ_IUNKNOWN_FUNCTIONS(ISupportErrorInfo);
  HRESULT (*InterfaceSupportsErrorInfo)(ISupportErrorInfo* This, REFIID riid);
} ISupportErrorInfoVtbl;
VZ_INTERFACE(ISupportErrorInfo);

typedef struct IProvideClassInfo IProvideClassInfo;
typedef struct IProvideClassInfoVtbl {
  VZ_IUNKNOWN_FUNCTIONS(IProvideClassInfo);
  HRESULT (*GetClassInfo)(IProvideClassInfo* This, ITypeInfo** ppTI);
} IProvideClassInfoVtbl;
VZ_INTERFACE(IProvideClassInfo);

typedef struct IErrorInfo IErrorInfo;
typedef struct IErrorInfoVtbl {
  VZ_IUNKNOWN_FUNCTIONS(IErrorInfo);
  HRESULT (*GetGUID)(IErrorInfo* This, GUID* pGUID);
  HRESULT (*GetSource)(IErrorInfo* This, BSTR* pBstrSource);
  HRESULT (*GetDescription)(IErrorInfo* This, BSTR* pBstrDescription);
  HRESULT (*GetHelpFile)(IErrorInfo* This, BSTR* pBstrHelpFile);
  HRESULT (*GetHelpContext)(IErrorInfo* This, DWORD* pdwHelpContext);
} IErrorInfoVtbl;
VZ_INTERFACE(IErrorInfo);

/* Voziroz's type information answers GetTypeAttr, GetFuncDesc, GetNames, GetIDsOfNames, Invoke,
 * GetDocumentation, GetRefTypeOfImplType, GetImplTypeFlags, GetRefTypeInfo and the Release
 * functions; the others return E_NOTIMPL. */
typedef struct ITypeInfoVtbl {
  VZ_IUNKNOWN_FUNCTIONS(ITypeInfo);
  HRESULT (*GetTypeAttr)(ITypeInfo* This, TYPEATTR** ppTypeAttr);
  HRESULT (*GetTypeComp)(ITypeInfo* This, ITypeComp** ppTComp);
  HRESULT (*GetFuncDesc)(ITypeInfo* This, UINT index, FUNCDESC** ppFuncDesc);
  HRESULT (*GetVarDesc)(ITypeInfo* This, UINT index, void** ppVarDesc);
  HRESULT(*GetNames)
  (ITypeInfo* This, MEMBERID memid, BSTR* rgBstrNames, UINT cMaxNames, UINT* pcNames);
  HRESULT (*GetRefTypeOfImplType)(ITypeInfo* This, UINT index, HREFTYPE* pRefType);
  HRESULT (*GetImplTypeFlags)(ITypeInfo* This, UINT index, INT* pImplTypeFlags);
  HRESULT (*GetIDsOfNames)(ITypeInfo* This, LPOLESTR* rgszNames, UINT cNames, MEMBERID* pMemId);
  HRESULT(*Invoke)
  (ITypeInfo* This, void* pvInstance, MEMBERID memid, WORD wFlags, DISPPARAMS* pDispParams,
   VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr);
  HRESULT(*GetDocumentation)
  (ITypeInfo* This, MEMBERID memid, BSTR* pBstrName, BSTR* pBstrDocString, DWORD* pdwHelpContext,
   BSTR* pBstrHelpFile);
  HRESULT(*GetDllEntry)
  (ITypeInfo* This, MEMBERID memid, INVOKEKIND invKind, BSTR* pBstrDllName, BSTR* pBstrName,
   WORD* pwOrdinal);
  HRESULT (*GetRefTypeInfo)(ITypeInfo* This, HREFTYPE hRefType, ITypeInfo** ppTInfo);
  HRESULT (*AddressOfMember)(ITypeInfo* This, MEMBERID memid, INVOKEKIND invKind, void** ppv);
  HRESULT (*CreateInstance)(ITypeInfo* This, IUnknown* pUnkOuter, REFIID riid, void** ppvObj);
  HRESULT (*GetMops)(ITypeInfo* This, MEMBERID memid, BSTR* pBstrMops);
  HRESULT (*GetContainingTypeLib)(ITypeInfo* This, ITypeLib** ppTLib, UINT* pIndex);
  void (*ReleaseTypeAttr)(ITypeInfo* This, TYPEATTR* pTypeAttr);
  void (*ReleaseFuncDesc)(ITypeInfo* This, FUNCDESC* pFuncDesc);
  void (*ReleaseVarDesc)(ITypeInfo* This, void* pVarDesc);
} ITypeInfoVtbl;
VZ_INTERFACE(ITypeInfo);

/* ---- Voziroz's interfaces (dual: IDispatch's functions, then the members in slot order) ---- */

typedef struct IParser IParser;
typedef struct IParserVtbl {
  VZ_IDISPATCH_FUNCTIONS(IParser);
  HRESULT (*Open)(IParser* This, VARIANT Filename);
  HRESULT (*Execute)(IParser* This, VARIANT_BOOL* Value);
  HRESULT (*Close)(IParser* This);
  HRESULT (*get_IsOpen)(IParser* This, VARIANT_BOOL* Value);
  HRESULT (*get_DataLink)(IParser* This, VARIANT TableName, LONG* Value);
  HRESULT (*GetTable)(IParser* This, VARIANT TableName, VARIANT Parameter, SAFEARRAY** Value);
  HRESULT (*get_TableNames)(IParser* This, SAFEARRAY** Value);
  HRESULT (*get_Line)(IParser* This, LONG LineNb, SAFEARRAY** Value);
  HRESULT (*get_LineCount)(IParser* This, LONG* Value);
  HRESULT (*Metadata)(IParser* This, SAFEARRAY** Value);
  HRESULT (*get_GetAncestors)(IParser* This, LONG ID, LONG Generation, SAFEARRAY** Value);
  HRESULT(*Thumbnail)
  (IParser* This, VARIANT SourceFilename, VARIANT TargetFilename, LONG Width, LONG Height,
   LONG FillColor, VARIANT_BOOL* Value);
} IParserVtbl;
VZ_INTERFACE(IParser);

typedef struct ITable ITable;
typedef struct ITableVtbl {
  VZ_IDISPATCH_FUNCTIONS(ITable);
  HRESULT (*get_RowCount)(ITable* This, LONG* Value);
  HRESULT (*get_ColCount)(ITable* This, LONG* Value);
  HRESULT (*get_ColNames)(ITable* This, SAFEARRAY** Value);
  HRESULT (*get_Row)(ITable* This, LONG Index, SAFEARRAY** Value);
  HRESULT (*get_IsOpen)(ITable* This, VARIANT_BOOL* Value);
  HRESULT (*Open)(ITable* This, VARIANT TableName, IParser* Parser);
  HRESULT (*FindRow)(ITable* This, LONG KeyValue, LONG* Value);
  HRESULT (*Close)(ITable* This);
  HRESULT (*get_KeyColname)(ITable* This, VARIANT* Value);
} ITableVtbl;
VZ_INTERFACE(ITable);

typedef struct IFTP IFTP;
typedef struct IFTPVtbl {
  VZ_IDISPATCH_FUNCTIONS(IFTP);
  HRESULT(*Connect)
  (IFTP* This, VARIANT Hostname, VARIANT Username, VARIANT Password, LONG Portnumber,
   VARIANT_BOOL PassiveMode, VARIANT_BOOL* Value);
  HRESULT (*Disconnect)(IFTP* This, VARIANT_BOOL* Value);
  HRESULT (*CreateFolder)(IFTP* This, VARIANT Foldername, VARIANT_BOOL* Value);
  HRESULT (*RemoveFolder)(IFTP* This, VARIANT Foldername, VARIANT_BOOL* Value);
  HRESULT (*ChangeFolder)(IFTP* This, VARIANT Foldername, VARIANT_BOOL* Value);
  HRESULT (*FileExists)(IFTP* This, VARIANT Filename, VARIANT_BOOL* Value);
  HRESULT (*DeleteFile)(IFTP* This, VARIANT Filename, VARIANT_BOOL* Value);
  HRESULT (*RenameFile)(IFTP* This, VARIANT OldName, VARIANT NewName, VARIANT_BOOL* Value);
  HRESULT(*PutFile)
  (IFTP* This, VARIANT LocalName, VARIANT RemoteName, VARIANT_BOOL BinaryFile, VARIANT_BOOL* Value);
  HRESULT(*GetFile)
  (IFTP* This, VARIANT RemoteName, VARIANT LocalName, VARIANT_BOOL BinaryFile, VARIANT_BOOL* Value);
  HRESULT (*ListFiles)(IFTP* This, VARIANT Folder, SAFEARRAY** Value);
  HRESULT (*CurrentFolder)(IFTP* This, VARIANT* Value);
  HRESULT (*PutText)(IFTP* This, VARIANT TextData, VARIANT Remotefile, VARIANT_BOOL* Value);
  HRESULT (*get_IsConnected)(IFTP* This, VARIANT_BOOL* Value);
} IFTPVtbl;
VZ_INTERFACE(IFTP);

typedef struct IQueue IQueue;
typedef struct IQueueVtbl {
  VZ_IDISPATCH_FUNCTIONS(IQueue);
  HRESULT (*Init)(IQueue* This);
  HRESULT (*Put)(IQueue* This, VARIANT value);
  HRESULT (*Get)(IQueue* This, VARIANT* Value);
  HRESULT (*Clear)(IQueue* This);
  HRESULT (*get_Length)(IQueue* This, LONG* Value);
} IQueueVtbl;
VZ_INTERFACE(IQueue);

typedef struct IStack IStack;
typedef struct IStackVtbl {
  VZ_IDISPATCH_FUNCTIONS(IStack);
  HRESULT (*Init)(IStack* This);
  HRESULT (*Put)(IStack* This, VARIANT value);
  HRESULT (*Get)(IStack* This, VARIANT* Value);
  HRESULT (*Clear)(IStack* This);
  HRESULT (*get_Height)(IStack* This, LONG* Value);
} IStackVtbl;
VZ_INTERFACE(IStack);

typedef struct IKeyList IKeyList;
typedef struct IKeyListVtbl {
  VZ_IDISPATCH_FUNCTIONS(IKeyList);
  HRESULT (*Add)(IKeyList* This, BSTR Key, VARIANT Item);
  HRESULT (*ByIndex)(IKeyList* This, LONG Index, BSTR* Key, VARIANT* Item);
  HRESULT (*get_Item)(IKeyList* This, BSTR Key, VARIANT* Item);
  HRESULT (*put_Item)(IKeyList* This, BSTR Key, VARIANT None);
  HRESULT (*get_Count)(IKeyList* This, LONG* Value);
  HRESULT (*get_Capacity)(IKeyList* This, LONG* Value);
  HRESULT (*put_Capacity)(IKeyList* This, LONG None);
  HRESULT (*Init)(IKeyList* This);
  HRESULT (*Delete)(IKeyList* This, BSTR Key);
  HRESULT (*Clear)(IKeyList* This);
  HRESULT (*Exists)(IKeyList* This, BSTR Key, VARIANT_BOOL* Value);
  HRESULT (*Items)(IKeyList* This, SAFEARRAY** Value);
  HRESULT (*Keys)(IKeyList* This, SAFEARRAY** Value);
} IKeyListVtbl;
VZ_INTERFACE(IKeyList);

/* ---- Identifiers ------------------------------------------------------------------------- */

#define VZ_GUID(name, d1, d2, d3, b0, b1, b2, b3, b4, b5, b6, b7) \
  static const GUID name = {d1, d2, d3, {b0, b1, b2, b3, b4, b5, b6, b7}}

VZ_GUID(IID_NULL, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
VZ_GUID(IID_IUnknown, 0x00000000, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46);
VZ_GUID(IID_IClassFactory, 0x00000001, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46);
VZ_GUID(IID_IDispatch, 0x00020400, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46);
VZ_GUID(IID_ITypeInfo, 0x00020401, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46);
VZ_GUID(IID_ISupportErrorInfo, 0xDF0B3D60, 0x548F, 0x101B, 0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xC3,
        0xD2);
VZ_GUID(IID_IProvideClassInfo, 0xB196B283, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D,
        0x07);
VZ_GUID(IID_IErrorInfo, 0x1CF2B120, 0x547D, 0x101B, 0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19);

VZ_GUID(LIBID_Voziroz, 0xBA382B7F, 0xC27B, 0x4CBD, 0xA6, 0x7B, 0x6B, 0x88, 0x56, 0xE8, 0x04, 0xEE);
VZ_GUID(IID_IParser, 0x56D9E158, 0x074E, 0x464A, 0xBF, 0x01, 0x64, 0x0D, 0x09, 0x9A, 0xFD, 0x32);
VZ_GUID(IID_ITable, 0xAE42A3AB, 0x2DE2, 0x457D, 0xAF, 0xBD, 0x27, 0xAE, 0xB8, 0xA3, 0xFF, 0x0D);
VZ_GUID(IID_IFTP, 0x5FF0AE04, 0x7BC4, 0x4DE4, 0x87, 0xD2, 0xB8, 0x61, 0x0A, 0x1B, 0x87, 0x8E);
VZ_GUID(IID_IQueue, 0x3FFF8609, 0x2E6C, 0x4BCE, 0x97, 0xE8, 0xD7, 0x1D, 0x93, 0xE1, 0xB6, 0x24);
VZ_GUID(IID_IStack, 0x5637B7E6, 0x9561, 0x4296, 0x99, 0x67, 0x89, 0x34, 0x6F, 0x7F, 0x90, 0x2F);
VZ_GUID(IID_IKeyList, 0x9C695540, 0xF43B, 0x4E2C, 0xAE, 0x08, 0x30, 0xD8, 0xED, 0x4C, 0x7A, 0x38);
VZ_GUID(CLSID_Parser, 0xC75F7A80, 0xB719, 0x4164, 0xAF, 0xC1, 0x56, 0xA3, 0x16, 0xB4, 0x46, 0x79);
VZ_GUID(CLSID_Table, 0xFA374253, 0xE02E, 0x461A, 0x85, 0xFC, 0x93, 0x70, 0x26, 0x07, 0x73, 0xF1);
VZ_GUID(CLSID_FTP, 0x074EE418, 0x23A9, 0x4807, 0x84, 0xCB, 0xD9, 0x8D, 0x86, 0xF2, 0x37, 0xC2);
VZ_GUID(CLSID_Queue, 0x24773636, 0x0638, 0x4BDA, 0x8F, 0x1F, 0xB5, 0xC0, 0x49, 0xFF, 0x4F, 0xE2);
VZ_GUID(CLSID_Stack, 0xDE47B51C, 0x7C30, 0x47EF, 0x8B, 0xB7, 0xC3, 0x0F, 0x0A, 0xD7, 0x49, 0xE2);
VZ_GUID(CLSID_KeyList, 0x0BF294A1, 0xA83B, 0x49FE, 0xB7, 0xDA, 0xC5, 0x93, 0x49, 0x45, 0x02, 0x49);

/* ---- The server's entry points (libvoziroz.so; hosts reach them through vz_ functions) ---- */

/* The class factory of `rclsid` as interface `riid` (IUnknown or IClassFactory). An unknown or
 * not yet creatable class: *ppv = NULL, CLASS_E_CLASSNOTAVAILABLE. */
VZ_API HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv);
/* S_OK when no object of the library exists and no factory is referenced or locked, else
 * S_FALSE. */
VZ_API HRESULT DllCanUnloadNow(void);
/* Write / remove the library's registration in the registry; S_OK or E_FAIL (with error
 * information). */
VZ_API HRESULT DllRegisterServer(void);
VZ_API HRESULT DllUnregisterServer(void);

/* ---- libvozcom.so: strings --------------------------------------------------------------- */

/* A new BSTR holding `text` up to its NUL (NULL text: NULL); NULL when memory runs out. */
VZ_API BSTR vz_bstr_alloc(const OLECHAR* text);
/* A new BSTR of `length` characters copied from `text` (NULL text: that many NULs). */
VZ_API BSTR vz_bstr_alloc_len(const OLECHAR* text, UINT length);
/* A new BSTR from UTF-8 (malformed bytes become U+FFFD); NULL for NULL text. */
VZ_API BSTR vz_bstr_from_utf8(const char* text);
/* The characters of a BSTR (0 for NULL). */
VZ_API UINT vz_bstr_len(BSTR text);
/* New UTF-8 text for a BSTR (a NULL BSTR gives ""; lone surrogates give U+FFFD); free with
 * vz_free. NULL when memory runs out. */
VZ_API char* vz_bstr_to_utf8(BSTR text);
VZ_API void vz_bstr_free(BSTR text);
/* Frees the char strings that vz_ functions return. */
VZ_API void vz_free(void* memory);

/* ---- Variants ---------------------------------------------------------------------------- */

/* Makes *value VT_EMPTY without freeing what it held. */
VZ_API void vz_variant_init(VARIANT* value);
/* Frees what *value owns (a BSTR, an array, a reference; not what VT_BYREF points to) and makes
 * it VT_EMPTY. DISP_E_BADVARTYPE for a kind it does not know (then it is left as it was). */
VZ_API HRESULT vz_variant_clear(VARIANT* value);
/* Clears *destination, then makes it a deep copy of *source (new BSTR, new array, one more
 * reference). */
VZ_API HRESULT vz_variant_copy(VARIANT* destination, const VARIANT* source);

/* ---- Arrays (elements of type VT_VARIANT only) ------------------------------------------- */

/* A new array of VT_EMPTY elements; `bounds` first dimension first. NULL for another element
 * type, no dimension, too many elements, or no memory. */
VZ_API SAFEARRAY* vz_safearray_create(VARTYPE vt, UINT dims, const SAFEARRAYBOUND* bounds);
/* Clears every element and frees the array. S_OK for NULL. */
VZ_API HRESULT vz_safearray_destroy(SAFEARRAY* array);
/* A deep copy (*copy NULL for a NULL array). */
VZ_API HRESULT vz_safearray_copy(SAFEARRAY* array, SAFEARRAY** copy);
VZ_API UINT vz_safearray_get_dim(SAFEARRAY* array);
/* Bounds of dimension `dim` (1 = first). DISP_E_BADINDEX for a dimension it does not have. */
VZ_API HRESULT vz_safearray_get_lbound(SAFEARRAY* array, UINT dim, LONG* bound);
VZ_API HRESULT vz_safearray_get_ubound(SAFEARRAY* array, UINT dim, LONG* bound);
/* The element at `indices` (one per dimension, first first); DISP_E_BADINDEX outside. */
VZ_API HRESULT vz_safearray_ptr_of_index(SAFEARRAY* array, const LONG* indices, void** element);
/* Copies the element at `indices` into the uninitialised VARIANT *value. */
VZ_API HRESULT vz_safearray_get_element(SAFEARRAY* array, const LONG* indices, void* value);
/* Replaces the element at `indices` with a copy of the VARIANT *value. */
VZ_API HRESULT vz_safearray_put_element(SAFEARRAY* array, const LONG* indices, const void* value);

/* ---- Error information ------------------------------------------------------------------- */

/* New error information (interface `guid`, may be NULL); strings may be NULL. */
VZ_API HRESULT vz_create_error_info(REFGUID guid, const OLECHAR* source, const OLECHAR* description,
                                    DWORD help_context, IErrorInfo** info);
/* Makes `info` (NULL: none) the calling thread's error information, taking a reference. */
VZ_API HRESULT vz_set_error_info(DWORD reserved, IErrorInfo* info);
/* Hands over the calling thread's error information and clears it: S_OK, or S_FALSE with
 * *info NULL when there is none. */
VZ_API HRESULT vz_get_error_info(DWORD reserved, IErrorInfo** info);

/* ---- The registry ------------------------------------------------------------------------ *
 * The stores of keys and string values under HKEY_CLASSES_ROOT that registration writes. The
 * user's: the file $VOZIROZ_REGISTRY, else $XDG_CONFIG_HOME/voziroz/registry, else
 * ~/.config/voziroz/registry. The system's: $VOZIROZ_SYSTEM_REGISTRY, else etc/voziroz/registry
 * under the prefix libvozcom.so is installed in (/etc/voziroz/registry for /usr). Lookups read
 * the user's store first, then the system's; changes go to the user's unless a registration
 * names the system's. Keys are paths with backslashes ("Voziroz.Parser\Clsid"); the default
 * value has the name "". Keys and names compare without regard to case. */

#define VZ_REGISTRY_USER 0
#define VZ_REGISTRY_SYSTEM 1

typedef struct vz_registry vz_registry; /* an open change: holds the store's lock */

/* The user's store's file name (free with vz_free). */
VZ_API HRESULT vz_registry_path(char** path);
/* The file of VZ_REGISTRY_USER or VZ_REGISTRY_SYSTEM (free with vz_free); E_FAIL with error
 * information when there is no system store (libvozcom.so not installed). */
VZ_API HRESULT vz_registry_scope_path(int scope, char** path);
/* The value now on disk: S_OK with *value (free with vz_free), or REGDB_E_KEYMISSING with
 * *value NULL. */
VZ_API HRESULT vz_registry_get_value(const char* key, const char* name, char** value);
/* Starts a change: waits for the lock, reads the store. Changes reach the disk, all at once,
 * only with vz_registry_commit; vz_registry_close ends the change and releases the lock. */
VZ_API HRESULT vz_registry_open(vz_registry** registry);
/* E_INVALIDARG for a key that is not a path or a field with a tab, line break or NUL. */
VZ_API HRESULT vz_registry_set_value(vz_registry* registry, const char* key, const char* name,
                                     const char* value);
/* Deletes the key's own values: S_OK, or S_FALSE when it had none. */
VZ_API HRESULT vz_registry_delete_key(vz_registry* registry, const char* key);
VZ_API HRESULT vz_registry_commit(vz_registry* registry);
VZ_API void vz_registry_close(vz_registry* registry);

/* ---- Objects ----------------------------------------------------------------------------- */

/* "{C75F7A80-B719-4164-AFC1-56A316B44679}" (either case) to a GUID: S_OK or CO_E_CLASSSTRING. */
VZ_API HRESULT vz_guid_from_string(const char* text, GUID* guid);
/* The upper-case registry form with braces (free with vz_free). */
VZ_API HRESULT vz_guid_to_string(REFGUID guid, char** text);
/* The CLSID registered for a ProgID ("Voziroz.Parser"): S_OK or CO_E_CLASSSTRING. */
VZ_API HRESULT vz_clsid_from_progid(const char* progid, CLSID* clsid);
/* The class factory (or other interface `riid`) of a registered class: loads the library named
 * under CLSID\{...}\InprocServer32 (kept loaded) and asks its DllGetClassObject.
 * REGDB_E_CLASSNOTREG for a class not registered; CO_E_DLLNOTFOUND when the library does not
 * load; CO_E_ERRORINDLL when it has no DllGetClassObject. */
VZ_API HRESULT vz_get_class_object(REFCLSID clsid, REFIID riid, void** object);
/* A new object of a registered class, as interface `riid` (aggregated into `outer` if given). */
VZ_API HRESULT vz_create_instance(REFCLSID clsid, IUnknown* outer, REFIID riid, void** object);
/* A new object by ProgID, as IDispatch: the usual way for a script host. */
VZ_API HRESULT vz_create_object(const char* progid, IDispatch** object);
/* Unloads every library loaded for objects whose DllCanUnloadNow says S_OK. */
VZ_API void vz_free_unused_libraries(void);
/* Loads the server library at `library_path` and calls its DllRegisterServer /
 * DllUnregisterServer (as regsvr32 does). */
VZ_API HRESULT vz_register_server(const char* library_path);
VZ_API HRESULT vz_unregister_server(const char* library_path);
/* The same, writing the store of `scope` (VZ_REGISTRY_USER or VZ_REGISTRY_SYSTEM). */
VZ_API HRESULT vz_register_server_in(const char* library_path, int scope);
VZ_API HRESULT vz_unregister_server_in(const char* library_path, int scope);
/* The class factory (or other interface `riid`) of `clsid` from the server library at
 * `library_path`, without a registration: for tools shipped beside their server. The library
 * stays loaded, as for vz_get_class_object. */
VZ_API HRESULT vz_get_class_object_from(const char* library_path, REFCLSID clsid, REFIID riid,
                                        void** object);

#ifdef __cplusplus
} /* extern "C" */
static_assert(sizeof(void*) != 8 || sizeof(VARIANT) == 24, "VARIANT has the standard's size");
#else
_Static_assert(sizeof(void*) != 8 || sizeof(VARIANT) == 24, "VARIANT has the standard's size");
#endif

#endif /* VOZIROZ_H_ */
