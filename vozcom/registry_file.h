// The registry store on disk: where its file is, reading it, and changing it safely.
//
// Two stores: the user's and the system's. Lookups read the user's first, then the system's.
// The user's file: $VOZIROZ_REGISTRY when set, else $XDG_CONFIG_HOME/voziroz/registry (an
// absolute XDG_CONFIG_HOME only), else $HOME/.config/voziroz/registry. The system's file:
// $VOZIROZ_SYSTEM_REGISTRY when set, else etc/voziroz/registry under the prefix that
// libvozcom.so is installed in (/etc/voziroz/registry for /usr); none when it is not installed.
// A file that does not exist is an empty registry. A link is followed: the file it names is the
// one read and replaced. A registry that exists and is no regular file (a device, a FIFO) is
// refused, never replaced.
//
// Consistency: a change is a transaction. Opening one takes an exclusive lock (flock on the file
// "<file>.lock", held until the transaction ends) and reads the file; Commit writes the whole
// new contents to "<file>.new", syncs it to disk, renames it over the file and syncs the folder.
// So two processes changing the registry at once both keep their changes, and a crash or a kill
// at any moment leaves either the old or the new file, complete. Readers take no lock.
//
// Errors: RegistryFileError with a message naming the file and the system's reason.
#pragma once

#include <sys/types.h>

#include <optional>
#include <stdexcept>
#include <string>

#include "vozcom/registry_contents.h"

namespace voziroz {

class RegistryFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class RegistryScope { User, System };

// The user's store's file name from the environment; throws when neither it nor HOME is set.
std::string RegistryPath();
// The system store's file name; empty when there is none (see above).
std::string SystemRegistryPath();
// The file of `scope`; throws when that store has none.
std::string RegistryPathOf(RegistryScope scope);

// The default value of `key` (and `name`), from the user's store, else the system's; nullopt
// when neither holds it.
std::optional<std::string> LookUpRegistry(const std::string& key, const std::string& name);

// The file's values as they are now (empty when it does not exist). Files above 64 MiB are
// refused, as no registration comes near that.
RegistryContents ReadRegistry(const std::string& path);

// The store that registration on this thread writes: the user's unless a caller chose the
// system's for one call (vz_register_server_in).
RegistryScope& ThreadWriteScope();

class RegistryTransaction {
 public:
  // Creates the file's folder when missing (with `folder_mode`), takes the lock (waiting for
  // another transaction to end) and reads the file.
  explicit RegistryTransaction(const std::string& path, mode_t folder_mode = 0700);
  ~RegistryTransaction();
  RegistryTransaction(const RegistryTransaction&) = delete;
  RegistryTransaction& operator=(const RegistryTransaction&) = delete;

  RegistryContents& Contents() { return contents_; }
  // Replaces the file with Contents(). The transaction stays open and may commit again.
  void Commit();

 private:
  std::string path_;
  int lock_fd_ = -1;
  RegistryContents contents_;
};

}  // namespace voziroz
