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
#include <cstring>
#include <string_view>
#include <vector>

#include "engine/text_buffer.h"

namespace voziroz {

class TextPool {
 public:
  static constexpr int kWindowBits = 22;
  static constexpr std::size_t kWindowBytes = std::size_t{1} << kWindowBits;  // 4 MiB
  static constexpr std::size_t kWindowCount = std::size_t{1} << (32 - kWindowBits);

  TextPool() = default;
  TextPool(TextPool&& other) noexcept { *this = std::move(other); }
  TextPool& operator=(TextPool&& other) noexcept;
  TextPool(const TextPool& other) { *this = other; }
  TextPool& operator=(const TextPool& other);

  // Makes room for `bytes` contiguous bytes and returns their reference; the caller writes
  // them at Data(reference). Throws std::length_error past the last window, std::bad_alloc.
  // A reservation always ends before its block does, so a reference never reaches 2^32.
  std::uint32_t Reserve(std::size_t bytes) {
    if (bytes >= static_cast<std::size_t>(end_ - cursor_)) StartBlock(bytes);
    const auto reference = static_cast<std::uint32_t>(next_reference_);
    cursor_ += bytes;
    next_reference_ += bytes;
    return reference;
  }
  // Stores a copy of `text` and returns its reference.
  std::uint32_t Add(std::string_view text) {
    const std::uint32_t reference = Reserve(text.size());
    if (!text.empty()) std::memcpy(cursor_ - text.size(), text.data(), text.size());
    return reference;
  }

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
  // Starts a block with room for more than `bytes`, covering the next windows.
  void StartBlock(std::size_t bytes);
  void AddBlock(std::size_t capacity);

  std::vector<TextBuffer> blocks_;  // a block's size is the bytes reserved in it, but the last's
  std::vector<char*> windows_;      // the first byte of each window, inside its block
  // In the last block: the next free byte, its reference, and the block's end.
  char* cursor_ = nullptr;
  std::uint64_t next_reference_ = 0;
  char* end_ = nullptr;
};

}  // namespace voziroz
