// Voziroz.dll as a host sees it: its exports, class factories, DllCanUnloadNow and
// self-registration in the (Wine) registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "com_test_support.h"

namespace voziroz::testing {
namespace {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using PlainFn = HRESULT(STDAPICALLTYPE*)();

// The library under test, loaded from beside this program.
class Server {
 public:
  explicit Server(const wchar_t* path = L"Voziroz.dll") : module_(LoadLibraryW(path)) {}
  ~Server() {
    if (module_) FreeLibrary(module_);
  }
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  bool Loaded() const { return module_ != nullptr; }
  HMODULE Module() const { return module_; }
  HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) const {
    return reinterpret_cast<GetClassObjectFn>(Export("DllGetClassObject"))(clsid, iid, out);
  }
  HRESULT CanUnloadNow() const { return Plain("DllCanUnloadNow"); }
  HRESULT Register() const { return Plain("DllRegisterServer"); }
  HRESULT Unregister() const { return Plain("DllUnregisterServer"); }

  // The names the library exports.
  std::vector<std::string> ExportNames() const {
    auto* base = reinterpret_cast<const BYTE*>(module_);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& entry =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const auto* exports =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
    const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    std::vector<std::string> result;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
      result.emplace_back(reinterpret_cast<const char*>(base + names[i]));
    return result;
  }

 private:
  // The entry point as a plain address (each caller casts it to its own type).
  void* Export(const char* name) const {
    return reinterpret_cast<void*>(GetProcAddress(module_, name));
  }
  HRESULT Plain(const char* name) const { return reinterpret_cast<PlainFn>(Export(name))(); }

  HMODULE module_;
};

// The six classes as the registry must hold them.
struct ExpectedClass {
  const wchar_t* ProgId;
  const wchar_t* Clsid;
  const wchar_t* Description;
  const wchar_t* Iid;
};
const ExpectedClass kClasses[] = {
    {L"Voziroz.Parser", L"{C75F7A80-B719-4164-AFC1-56A316B44679}",
     L"GEDCOM parser: opens a GEDCOM file and serves its lines, tables and metadata",
     L"{56D9E158-074E-464A-BF01-640D099AFD32}"},
    {L"Voziroz.Table", L"{FA374253-E02E-461A-85FC-9370260773F1}", L"Fake Table Object",
     L"{AE42A3AB-2DE2-457D-AFBD-27AEB8A3FF0D}"},
    {L"Voziroz.FTP", L"{074EE418-23A9-4807-84CB-D98D86F237C2}", L"FTP client",
     L"{5FF0AE04-7BC4-4DE4-87D2-B8610A1B878E}"},
    {L"Voziroz.Queue", L"{24773636-0638-4BDA-8F1F-B5C049FF4FE2}", L"Queue (FIFO)",
     L"{3FFF8609-2E6C-4BCE-97E8-D71D93E1B624}"},
    {L"Voziroz.Stack", L"{DE47B51C-7C30-47EF-8BB7-C30F0AD749E2}", L"Stack (FILO)",
     L"{5637B7E6-9561-4296-9967-89346F7F902F}"},
    {L"Voziroz.KeyList", L"{0BF294A1-A83B-49FE-B7DA-C59349450249}",
     L"KeyList is a sorted list of key/item pairs.", L"{9C695540-F43B-4E2C-AE08-30D8ED4C7A38}"},
};
constexpr wchar_t kLibid[] = L"{BA382B7F-C27B-4CBD-A67B-6B8856E804EE}";
constexpr wchar_t kTypeLibVersionKey[] = L"TypeLib\\{BA382B7F-C27B-4CBD-A67B-6B8856E804EE}\\1.0";

CLSID ClsidOf(const wchar_t* text) {
  CLSID clsid{};
  CLSIDFromString(text, &clsid);
  return clsid;
}

bool KeyExists(const std::wstring& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
    return false;
  RegCloseKey(handle);
  return true;
}

// A string value under HKEY_CLASSES_ROOT, or "<missing>".
std::wstring ValueOf(const std::wstring& key, const wchar_t* name = nullptr) {
  wchar_t data[1024];
  DWORD size = sizeof data;
  DWORD type = 0;
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, &type, data, &size) !=
      ERROR_SUCCESS)
    return L"<missing>";
  return data;
}

std::wstring PathOf(HMODULE module) {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
  return std::wstring(path, length);
}

// A class the library can create now, or null (objects join the library one by one).
const ExpectedClass* CreatableClass(const Server& server) {
  for (const ExpectedClass& c : kClasses) {
    IClassFactory* factory = nullptr;
    if (server.GetClassObject(ClsidOf(c.Clsid), IID_IClassFactory,
                              reinterpret_cast<void**>(&factory)) == S_OK) {
      factory->Release();
      return &c;
    }
  }
  return nullptr;
}

class ServerTest : public ComTest {
 protected:
  void SetUp() override {
    ComTest::SetUp();
    ASSERT_TRUE(server_.Loaded()) << "Voziroz.dll must sit beside the test program";
  }
  Server server_;
};

TEST_F(ServerTest, ExportsExactlyTheFourEntryPoints) {
  EXPECT_EQ(server_.ExportNames(),
            (std::vector<std::string>{"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer",
                                      "DllUnregisterServer"}));
}

TEST_F(ServerTest, UnknownClassIsNotAvailableAndClearsItsOutput) {
  const CLSID unknown = ClsidOf(L"{00000000-1111-2222-3333-444444444444}");
  void* out = &out;
  EXPECT_EQ(server_.GetClassObject(unknown, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(server_.GetClassObject(unknown, IID_IClassFactory, nullptr), E_POINTER);
}

TEST_F(ServerTest, FactoriesCreateObjectsAndCountThem) {
  const ExpectedClass* cls = CreatableClass(server_);
  if (!cls) GTEST_SKIP() << "no class of the library can be created yet";
  EXPECT_EQ(server_.CanUnloadNow(), S_OK);
  Ref<IClassFactory> factory;
  void* wrong = &wrong;
  EXPECT_EQ(server_.GetClassObject(ClsidOf(cls->Clsid), IID_IDispatch, &wrong), E_NOINTERFACE);
  EXPECT_EQ(wrong, nullptr);
  ASSERT_EQ(server_.GetClassObject(ClsidOf(cls->Clsid), IID_IClassFactory, factory.Out()), S_OK);
  EXPECT_EQ(server_.CanUnloadNow(), S_FALSE) << "a factory is referenced";

  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, nullptr), E_POINTER);
  void* out = &out;
  EXPECT_EQ(factory->CreateInstance(reinterpret_cast<IUnknown*>(&out), IID_IDispatch, &out),
            CLASS_E_NOAGGREGATION);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);

  Ref<IDispatch> object;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, object.Out()), S_OK);
  factory->Release();
  factory.p = nullptr;
  EXPECT_EQ(server_.CanUnloadNow(), S_FALSE) << "an object lives";
  object->Release();
  object.p = nullptr;
  EXPECT_EQ(server_.CanUnloadNow(), S_OK);
}

TEST_F(ServerTest, LockServerKeepsTheLibraryLoaded) {
  const ExpectedClass* cls = CreatableClass(server_);
  if (!cls) GTEST_SKIP() << "no class of the library can be created yet";
  IClassFactory* factory = nullptr;
  ASSERT_EQ(server_.GetClassObject(ClsidOf(cls->Clsid), IID_IClassFactory,
                                   reinterpret_cast<void**>(&factory)),
            S_OK);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  factory->Release();
  EXPECT_EQ(server_.CanUnloadNow(), S_FALSE);
  ASSERT_EQ(server_.GetClassObject(ClsidOf(cls->Clsid), IID_IClassFactory,
                                   reinterpret_cast<void**>(&factory)),
            S_OK);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(factory->LockServer(FALSE), E_UNEXPECTED) << "an unlock without a lock";
  factory->Release();
  EXPECT_EQ(server_.CanUnloadNow(), S_OK);
}

void ExpectRegistered(const std::wstring& server_path) {
  for (const ExpectedClass& c : kClasses) {
    SCOPED_TRACE(c.ProgId);
    const std::wstring clsid = std::wstring(L"CLSID\\") + c.Clsid;
    EXPECT_EQ(ValueOf(clsid), c.Description);
    EXPECT_EQ(ValueOf(clsid + L"\\InprocServer32"), server_path);
    EXPECT_EQ(ValueOf(clsid + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(ValueOf(c.ProgId), c.Description);
    EXPECT_EQ(ValueOf(std::wstring(c.ProgId) + L"\\Clsid"), c.Clsid);
    EXPECT_EQ(ValueOf(clsid + L"\\ProgID"), c.ProgId);
    EXPECT_EQ(ValueOf(clsid + L"\\Version"), L"1.0");
    EXPECT_EQ(ValueOf(clsid + L"\\TypeLib"), kLibid);
    EXPECT_EQ(ValueOf(std::wstring(L"Interface\\") + c.Iid + L"\\TypeLib"), kLibid);
  }
  EXPECT_EQ(ValueOf(kTypeLibVersionKey), L"Project1 Library");
}

void ExpectUnregistered() {
  for (const ExpectedClass& c : kClasses) {
    EXPECT_FALSE(KeyExists(std::wstring(L"CLSID\\") + c.Clsid)) << c.Clsid;
    EXPECT_FALSE(KeyExists(c.ProgId)) << c.ProgId;
    EXPECT_FALSE(KeyExists(std::wstring(L"Interface\\") + c.Iid)) << c.Iid;
  }
  EXPECT_FALSE(KeyExists(std::wstring(L"TypeLib\\") + kLibid));
}

TEST_F(ServerTest, RegistrationWritesAndRemovesExactlyItsKeys) {
  const std::wstring path = PathOf(server_.Module());
  ASSERT_EQ(path.find(L' '), std::wstring::npos) << "this test wants a path without spaces";
  ASSERT_EQ(server_.Register(), S_OK);
  ASSERT_EQ(server_.Register(), S_OK) << "registering twice is harmless";
  ExpectRegistered(path);
  EXPECT_EQ(ValueOf(std::wstring(kTypeLibVersionKey) +
                    (sizeof(void*) == 8 ? L"\\409\\win64" : L"\\409\\win32")),
            path);
  ASSERT_EQ(server_.Unregister(), S_OK);
  ExpectUnregistered();
  EXPECT_EQ(server_.Unregister(), S_OK) << "unregistering what is not there is harmless";
}

// A library whose path holds a space registers its short 8.3 path, which loads the same file.
TEST_F(ServerTest, PathWithASpaceIsRegisteredInShortForm) {
  const ScratchFolder folder("Voziroz Test Folder");
  const std::wstring copy = Widened(folder / "Voziroz.dll");
  ASSERT_TRUE(CopyFileW(PathOf(server_.Module()).c_str(), copy.c_str(), FALSE));
  {
    Server spaced(copy.c_str());
    ASSERT_TRUE(spaced.Loaded());
    ASSERT_EQ(spaced.Register(), S_OK);
    const std::wstring registered =
        ValueOf(std::wstring(L"CLSID\\") + kClasses[0].Clsid + L"\\InprocServer32");
    EXPECT_EQ(registered.find(L' '), std::wstring::npos) << registered;
    wchar_t long_form[MAX_PATH];
    GetLongPathNameW(registered.c_str(), long_form, MAX_PATH);
    EXPECT_EQ(lstrcmpiW(long_form, copy.c_str()), 0) << long_form;
    EXPECT_EQ(spaced.Unregister(), S_OK);
  }
  ExpectUnregistered();
}

}  // namespace
}  // namespace voziroz::testing
