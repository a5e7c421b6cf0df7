// TextPool: append-only storage for the texts of a table's cells, addressed by 32-bit references.
//
// The pool grows by whole blocks and never moves what it holds, so growing copies nothing and
// every page is written once. A reference names a place in a 4 GiB address space cut into
// windows of kWindowBytes; each block fills one window, or several consecutive ones for a text
// longer than a window. Space at the end of a window that the next text does not fit in stays
// unused, so a pool holds somewhat less than 4 GiB of text; reserving beyond the last window
// throws std::length_error and leaves the pool as it was (never a reference that wraps around).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/text_buffer.h"

namespace voziroz {

class TextPool {
 public:
  TextPool() = default;
  TextPool(TextPool&&) noexcept = default;
  TextPool& operator=(TextPool&&) noexcept = default;
  TextPool(const TextPool& other) { *this = other; }
  TextPool& operator=(const TextPool& other);

  static constexpr int kWindowBits = 22;
  static constexpr std::size_t kWindowBytes = std::size_t{1} << kWindowBits;  // 4 MiB
  static constexpr std::size_t kWindowCount = std::size_t{1} << (32 - kWindowBits);

  // Makes room for `bytes` contiguous bytes and returns their reference; the caller writes
  // them at Data(reference). Throws std::length_error past the last window, std::bad_alloc.
  std::uint32_t Reserve(std::size_t bytes);
  // Stores a copy of `text` and returns its reference.
  std::uint32_t Add(std::string_view text);

  // The first byte of what Reserve or Add returned `reference` for.
  const char* Data(std::uint32_t reference) const {
    return windows_[reference >> kWindowBits] + (reference & (kWindowBytes - 1));
  }
  char* Data(std::uint32_t reference) {
    return windows_[reference >> kWindowBits] + (reference & (kWindowBytes - 1));
  }

  // Drops every text; earlier references become invalid.
  void Clear();

 private:
  // Appends an empty block of `bytes` capacity covering the next windows.
  void AddBlock(std::size_t bytes);

  std::vector<TextBuffer> blocks_;  // a block's size is the bytes reserved in it
  std::vector<char*> windows_;      // the first byte of each window, inside its block
  std::size_t first_window_ = 0;    // of the last block
};

}  // namespace voziroz
