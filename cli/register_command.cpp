// voziroz register / unregister: writes or removes the server's registration, as regsvr32 does,
// through the C interface only.
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "include/voziroz.h"

namespace voziroz::cli {
namespace {

// The server library built beside this tool (VOZIROZ_SERVER_FROM_TOOL is its path relative to
// the tool's folder).
std::string DefaultLibrary() {
  char self[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return VOZIROZ_SERVER_FROM_TOOL;
  std::string folder(self, static_cast<std::size_t>(length));
  folder.resize(folder.rfind('/') + 1);
  const std::string library = folder + VOZIROZ_SERVER_FROM_TOOL;
  char canonical[PATH_MAX];
  return realpath(library.c_str(), canonical) ? canonical : library;
}

std::string Utf8(BSTR text) {
  char* utf8 = vz_bstr_to_utf8(text);
  std::string result = utf8 ? utf8 : "";
  vz_free(utf8);
  return result;
}

// The description of the thread's error information, if there is one.
std::string ErrorDescription() {
  IErrorInfo* info = nullptr;
  if (vz_get_error_info(0, &info) != S_OK) return "";
  BSTR description = nullptr;
  info->lpVtbl->GetDescription(info, &description);
  info->lpVtbl->Release(info);
  std::string text = Utf8(description);
  vz_bstr_free(description);
  return text;
}

std::string RegistryPath() {
  char* path = nullptr;
  if (FAILED(vz_registry_path(&path))) return "the registry";
  std::string result = path;
  vz_free(path);
  return result;
}

int Run(std::span<char*> args, bool registering) {
  const char* verb = registering ? "register" : "unregister";
  if (args.size() > 1) {
    std::fprintf(stderr, "usage: voziroz %s [LIBRARY]\n", verb);
    return 2;
  }
  const std::string library = args.empty() ? DefaultLibrary() : args[0];
  const HRESULT result =
      registering ? vz_register_server(library.c_str()) : vz_unregister_server(library.c_str());
  if (FAILED(result)) {
    std::string reason = ErrorDescription();
    std::fprintf(stderr, "voziroz: cannot %s %s: %s (0x%08X)\n", verb, library.c_str(),
                 reason.empty() ? "failed" : reason.c_str(), static_cast<unsigned>(result));
    return 1;
  }
  std::printf("%s %s %s %s\n", registering ? "registered" : "unregistered", library.c_str(),
              registering ? "in" : "from", RegistryPath().c_str());
  return 0;
}

}  // namespace

int RunRegister(std::span<char*> args) {
  return Run(args, true);
}

int RunUnregister(std::span<char*> args) {
  return Run(args, false);
}

}  // namespace voziroz::cli
