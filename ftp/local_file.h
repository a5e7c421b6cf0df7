// Local files at the two ends of a transfer: one read as a byte source, and one replaced only
// once its new content is complete, so a failed download leaves an existing file as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace voziroz::ftp {

struct FileClose {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileClose>;

// Names are UTF-8 text (engine/file_name.h).

// A regular file opened for reading. IsOpen is false when `name` is missing, unreadable, not a
// regular file, or holds NUL.
class FileSource {
 public:
  explicit FileSource(const std::string& name);
  bool IsOpen() const { return file_ != nullptr; }
  std::int64_t size() const { return size_; }
  // Up to `capacity` next bytes into `buffer`: the count, 0 at the end, empty on a read error.
  std::optional<std::size_t> Read(char* buffer, std::size_t capacity);

 private:
  FileHandle file_;
  std::int64_t size_ = 0;
};

// New content for the file `target`, written to a temporary file beside it. Commit puts it in
// place of `target` (replacing what was there); without Commit the temporary file is removed.
// The target follows engine/replace_target.h: a link's file is replaced; a target that exists
// and is no regular file is refused (IsOpen false, or Commit false) and left untouched, and so is a
// name holding NUL.
class ReplacingFile {
 public:
  explicit ReplacingFile(const std::string& target);
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;
  ~ReplacingFile();

  bool IsOpen() const { return file_ != nullptr; }
  bool Write(std::string_view bytes);
  bool Commit();

 private:
  std::string target_;
  std::string temporary_;
  FileHandle file_;
};

}  // namespace voziroz::ftp
