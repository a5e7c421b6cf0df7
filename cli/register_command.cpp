// voziroz register / unregister: writes or removes the server's registration, as regsvr32 does,
// through the C interface only, in the user's registry or (--system) the system's.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/server_library.h"

namespace voziroz::cli {
namespace {

std::string RegistryPath(int scope) {
  char* path = nullptr;
  CheckCall(vz_registry_scope_path(scope, &path), "no registry");
  std::string result = path;
  vz_free(path);
  return result;
}

int Run(const Options& options, bool registering) {
  const char* verb = registering ? "register" : "unregister";
  const int scope = options.system ? VZ_REGISTRY_SYSTEM : VZ_REGISTRY_USER;
  const std::string library = options.library.empty() ? ServerBesideTool() : options.library;
  const std::string registry = RegistryPath(scope);
  const HRESULT result = registering ? vz_register_server_in(library.c_str(), scope)
                                     : vz_unregister_server_in(library.c_str(), scope);
  CheckCall(result, ("cannot " + std::string(verb) + " " + library).c_str());
  std::printf("%s %s %s %s\n", registering ? "registered" : "unregistered", library.c_str(),
              registering ? "in" : "from", registry.c_str());
  return 0;
}

}  // namespace

int RunRegister(const Options& options) {
  return Run(options, true);
}

int RunUnregister(const Options& options) {
  return Run(options, false);
}

}  // namespace voziroz::cli
