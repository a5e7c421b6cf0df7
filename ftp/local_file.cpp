#include "ftp/local_file.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include <unistd.h>

namespace voziroz::ftp {
namespace {

constexpr int kTemporaryNameTries = 100;

}  // namespace

FileSource::FileSource(const std::string& name) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(name, error)) return;
  std::uintmax_t size = std::filesystem::file_size(name, error);
  if (error) return;
  file_.reset(std::fopen(name.c_str(), "rb"));
  size_ = static_cast<std::int64_t>(size);
}

std::optional<std::size_t> FileSource::Read(char* buffer, std::size_t capacity) {
  std::size_t count = std::fread(buffer, 1, capacity, file_.get());
  if (count == 0 && std::ferror(file_.get())) return std::nullopt;
  return count;
}

ReplacingFile::ReplacingFile(std::string target) : target_(std::move(target)) {
  if (target_.empty()) return;
  // "x" opens only a file that did not exist, so another writer's file is never taken over.
  for (int attempt = 0; attempt < kTemporaryNameTries && !file_; ++attempt) {
    temporary_ =
        target_ + "." + std::to_string(::getpid()) + "-" + std::to_string(attempt) + ".part";
    file_.reset(std::fopen(temporary_.c_str(), "wbx"));
    if (!file_ && errno != EEXIST) break;
  }
}

ReplacingFile::~ReplacingFile() {
  if (!file_) return;
  file_.reset();
  std::remove(temporary_.c_str());
}

bool ReplacingFile::Write(std::string_view bytes) {
  return file_ && std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) == bytes.size();
}

bool ReplacingFile::Commit() {
  if (!file_) return false;
  bool written = std::fclose(file_.release()) == 0;
  if (written && std::rename(temporary_.c_str(), target_.c_str()) == 0) return true;
  std::remove(temporary_.c_str());
  return false;
}

}  // namespace voziroz::ftp
