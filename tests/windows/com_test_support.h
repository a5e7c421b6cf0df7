// Small helpers for the Windows tests: owning holders for VARIANT, BSTR and interface
// references, VARIANT builders, COM set up per test, and a scratch folder.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace voziroz::testing {

// A VARIANT that is cleared when it goes.
struct OwnedVariant {
  VARIANT v;
  OwnedVariant() { VariantInit(&v); }
  ~OwnedVariant() { VariantClear(&v); }
  OwnedVariant(const OwnedVariant&) = delete;
  OwnedVariant& operator=(const OwnedVariant&) = delete;
};

// A BSTR that is freed when it goes.
struct OwnedBstr {
  BSTR b;
  explicit OwnedBstr(const wchar_t* text = nullptr) : b(text ? SysAllocString(text) : nullptr) {}
  ~OwnedBstr() { SysFreeString(b); }
  OwnedBstr(const OwnedBstr&) = delete;
  OwnedBstr& operator=(const OwnedBstr&) = delete;
  std::wstring Text() const { return b ? std::wstring(b, SysStringLen(b)) : std::wstring(); }
};

// An interface reference that is released when it goes.
template <class I>
struct Ref {
  I* p = nullptr;
  Ref() = default;
  explicit Ref(I* taken) : p(taken) {}
  ~Ref() {
    if (p) p->Release();
  }
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  I* operator->() const { return p; }
  void** Out() { return reinterpret_cast<void**>(&p); }
};

// VARIANTs by value (the caller clears the BSTR ones).
inline VARIANT I4Arg(LONG value) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_I4;
  V_I4(&v) = value;
  return v;
}
inline VARIANT TextArg(const wchar_t* text) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_BSTR;
  V_BSTR(&v) = SysAllocString(text);
  return v;
}

// Initialises COM (a single-threaded apartment) for each test.
class ComTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  }
  void TearDown() override { CoUninitialize(); }
};

// UTF-16 for UTF-8 text (file names, as the component takes them).
inline std::wstring Widened(const std::string& utf8) {
  std::wstring wide(utf8.size(), L'\0');
  wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                  wide.data(), static_cast<int>(wide.size())));
  return wide;
}

// A folder of its own under the temporary folder, removed with the files in it when it goes.
// Names are UTF-8 text.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& name) {
    wchar_t temp[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, temp);
    std::string utf8(length * 3, '\0');
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, temp, static_cast<int>(length), utf8.data(),
                                    static_cast<int>(utf8.size()), nullptr, nullptr));
    path_ = utf8 + name;
    CreateDirectoryW(Widened(path_).c_str(), nullptr);
  }
  ~ScratchFolder() {
    WIN32_FIND_DATAW found;
    const std::wstring folder = Widened(path_);
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
      DeleteFileW((folder + L"\\" + found.cFileName).c_str());
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    RemoveDirectoryW(folder.c_str());
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }
  // Writes (or replaces) a file in the folder and returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    const std::string path = *this / name;
    HANDLE file =
        CreateFileW(Widened(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return path;
  }

 private:
  std::string path_;
};

}  // namespace voziroz::testing
