// TextBuffer: an owning, growable block of 8-bit text, allocated so that large files are cheap to
// fill (no zero-initialisation; large blocks ask the system for transparent huge pages).
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

namespace voziroz {

// Asks the system to back the whole 2 MiB pages inside a large block with transparent huge pages
// (a hint for memory about to be filled; does nothing where unsupported or for small blocks).
void AdviseHugePages(void* block, std::size_t bytes);

class TextBuffer {
 public:
  TextBuffer() = default;
  explicit TextBuffer(std::string_view text);
  TextBuffer(TextBuffer&&) noexcept = default;
  TextBuffer& operator=(TextBuffer&&) noexcept = default;
  TextBuffer(const TextBuffer& other) : TextBuffer(other.view()) {}
  TextBuffer& operator=(const TextBuffer& other);

  // Makes room for at least `capacity` bytes; existing bytes are kept. Throws std::bad_alloc.
  void Reserve(std::size_t capacity);
  // Sets the size; new bytes are uninitialised. Grows the capacity when needed.
  void Resize(std::size_t size);
  void Append(std::string_view text);
  void Append(char c) { Append(std::string_view(&c, 1)); }
  void Clear() { size_ = 0; }

  char* data() { return data_.get(); }
  const char* data() const { return data_.get(); }
  std::size_t size() const { return size_; }
  std::size_t capacity() const { return capacity_; }
  bool empty() const { return size_ == 0; }
  std::string_view view() const { return {data_.get(), size_}; }

 private:
  struct Free {
    void operator()(char* p) const;
  };
  std::unique_ptr<char[], Free> data_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace voziroz
