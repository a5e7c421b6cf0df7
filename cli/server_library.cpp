#include "cli/server_library.h"

#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

namespace voziroz::cli {
namespace {

// The folder of the running tool, with a trailing slash.
std::string ToolFolder() {
  char self[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return "./";
  std::string folder(self, static_cast<std::size_t>(length));
  folder.resize(folder.rfind('/') + 1);
  return folder;
}

}  // namespace

std::string ServerBesideTool() {
  // Installed: the server in the library folder of the tool's prefix. Built: in the build tree.
  const std::string folder = ToolFolder();
  for (const char* relative : {VOZIROZ_SERVER_INSTALLED_FROM_TOOL, VOZIROZ_SERVER_FROM_TOOL}) {
    char canonical[PATH_MAX];
    if (realpath((folder + relative).c_str(), canonical)) return canonical;
  }
  throw ScriptError("no server library beside the tool (looked for " + folder +
                    VOZIROZ_SERVER_INSTALLED_FROM_TOOL + ")");
}

ScriptObject CreateFromServer(const CLSID& clsid) {
  IClassFactory* factory = nullptr;
  CheckCall(vz_get_class_object_from(ServerBesideTool().c_str(), &clsid, &IID_IClassFactory,
                                     reinterpret_cast<void**>(&factory)),
            "cannot load the server");
  IDispatch* object = nullptr;
  const HRESULT created = factory->lpVtbl->CreateInstance(factory, nullptr, &IID_IDispatch,
                                                          reinterpret_cast<void**>(&object));
  factory->lpVtbl->Release(factory);
  CheckCall(created, "cannot create an object");
  return ScriptObject(object);
}

}  // namespace voziroz::cli
