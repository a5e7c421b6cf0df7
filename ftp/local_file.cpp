#include "ftp/local_file.h"

#include <cstdio>

#include "engine/file_name.h"
#include "engine/replace_target.h"
#include "ftp/local_file_system.h"

namespace voziroz::ftp {
namespace {

constexpr int kTemporaryNameTries = 100;

}  // namespace

FileSource::FileSource(const std::string& name) {
  if (HoldsNul(name)) return;
  const std::optional<std::int64_t> size = RegularFileSize(name);
  if (!size) return;
  file_.reset(OpenForReading(name));
  size_ = *size;
}

std::optional<std::size_t> FileSource::Read(char* buffer, std::size_t capacity) {
  std::size_t count = std::fread(buffer, 1, capacity, file_.get());
  if (count == 0 && std::ferror(file_.get())) return std::nullopt;
  return count;
}

// A link is followed and the file it names replaced; a target that exists and is no regular
// file (a device, a folder) is refused, as the final move would swap it for the download.
ReplacingFile::ReplacingFile(const std::string& target) {
  if (target.empty() || HoldsNul(target)) return;
  ReplaceTarget resolved = ResolveReplaceTarget(target);
  if (!resolved.Refusal.empty()) return;
  target_ = std::move(resolved.Path);
  // Only a file that did not exist is taken, so another writer's file is never taken over.
  for (int attempt = 0; attempt < kTemporaryNameTries && !file_; ++attempt) {
    temporary_ =
        target_ + "." + std::to_string(ProcessId()) + "-" + std::to_string(attempt) + ".part";
    bool taken = false;
    file_.reset(CreateNewFile(temporary_, taken));
    if (!file_ && !taken) break;
  }
}

ReplacingFile::~ReplacingFile() {
  if (!file_) return;
  file_.reset();
  RemoveFile(temporary_);
}

bool ReplacingFile::Write(std::string_view bytes) {
  return file_ && std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) == bytes.size();
}

bool ReplacingFile::Commit() {
  if (!file_) return false;
  bool written = std::fclose(file_.release()) == 0;
  // Checked once more: the target may have changed during the transfer.
  if (written && ResolveReplaceTarget(target_).Refusal.empty() &&
      MoveReplacing(temporary_, target_))
    return true;
  RemoveFile(temporary_);
  return false;
}

}  // namespace voziroz::ftp
