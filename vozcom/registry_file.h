// The registry store on disk: where its file is, reading it, and changing it safely.
//
// File: $VOZIROZ_REGISTRY when set, else $XDG_CONFIG_HOME/voziroz/registry (an absolute
// XDG_CONFIG_HOME only), else $HOME/.config/voziroz/registry. A file that does not exist is an
// empty registry. A link is followed: the file it names is the one read and replaced. A
// registry that exists and is no regular file (a device, a FIFO) is refused, never replaced.
//
// Consistency: a change is a transaction. Opening one takes an exclusive lock (flock on the file
// "<file>.lock", held until the transaction ends) and reads the file; Commit writes the whole
// new contents to "<file>.new", syncs it to disk, renames it over the file and syncs the folder.
// So two processes changing the registry at once both keep their changes, and a crash or a kill
// at any moment leaves either the old or the new file, complete. Readers take no lock.
//
// Errors: RegistryFileError with a message naming the file and the system's reason.
#pragma once

#include <stdexcept>
#include <string>

#include "vozcom/registry_contents.h"

namespace voziroz {

class RegistryFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The store's file name from the environment; throws when neither it nor HOME is set.
std::string RegistryPath();

// The file's values as they are now (empty when it does not exist). Files above 64 MiB are
// refused, as no registration comes near that.
RegistryContents ReadRegistry(const std::string& path);

class RegistryTransaction {
 public:
  // Creates the file's folder when missing, takes the lock (waiting for another transaction to
  // end) and reads the file.
  explicit RegistryTransaction(const std::string& path);
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
