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
#include <memory>
#include <string_view>
#include <vector>

#include "engine/text_buffer.h"

namespace voziroz {

class TextPool {
 public:
  static constexpr int kWindowBits = 22;
  static constexpr std::size_t kWindowBytes = std::size_t{1} << kWindowBits;  // 4 MiB
  static constexpr std::size_t kWindowCount = std::size_t{1} << (32 - kWindowBits);
  static constexpr std::size_t kSharedBytes = 8;
  static constexpr int kSharedSlotBits = 12;
  static constexpr std::size_t kSharedSlots = std::size_t{1} << kSharedSlotBits;

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

  // Like Add, but a text of 1 to kSharedBytes bytes that equals a text stored by AddShared not
  // long before gets that text's reference instead of a copy: tag names, "U", date keys, short
  // names. The pool remembers kSharedSlots such texts, a newer one in a slot replacing the older.
  std::uint32_t AddShared(std::string_view text) {
    if (shared_ && !text.empty() && text.size() <= kSharedBytes) {
      const SharedSlot& slot = SlotOf(text);
      if (slot.bytes == PackedBytesOf(text) && slot.size == text.size()) return slot.reference;
    }
    return AddSharedSlowly(text);
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
  struct SharedSlot {
    std::uint64_t bytes = 0;  // the text, packed
    std::uint32_t reference = 0;
    std::uint32_t size = 0;  // 0: the slot holds no text yet
  };
  static constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15;

  // The bytes of a text of 1 to 8 bytes as one number: two overlapping halves from 4 bytes on,
  // the first, middle and last byte below, which between them are all the bytes. With the
  // size it tells texts apart exactly.
  static std::uint64_t PackedBytesOf(std::string_view text) {
    const char* p = text.data();
    const std::size_t n = text.size();
    if (n >= 4) return Load<std::uint32_t>(p) | Load<std::uint32_t>(p + n - 4) << 32;
    return Load<std::uint8_t>(p) | Load<std::uint8_t>(p + n / 2) << 8 |
           Load<std::uint8_t>(p + n - 1) << 16;
  }
  template <typename Word>
  static std::uint64_t Load(const char* bytes) {
    Word word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
  }
  SharedSlot& SlotOf(std::string_view text) const {
    const std::uint64_t sized = PackedBytesOf(text) ^ std::uint64_t{text.size()} << 60;
    return shared_[(sized * kMultiplier) >> (64 - kSharedSlotBits)];
  }
  // AddShared where the text is not remembered, or is no short text, or there are no slots yet.
  std::uint32_t AddSharedSlowly(std::string_view text);

  // Starts a block with room for more than `bytes`, covering the next windows.
  void StartBlock(std::size_t bytes);
  void AddBlock(std::size_t capacity);

  std::vector<TextBuffer> blocks_;  // a block's size is the bytes reserved in it, but the last's
  std::vector<char*> windows_;      // the first byte of each window, inside its block
  // In the last block: the next free byte, its reference, and the block's end.
  char* cursor_ = nullptr;
  std::uint64_t next_reference_ = 0;
  char* end_ = nullptr;
  // kSharedSlots once AddShared has been called. A copy of the pool starts without: it only
  // shares less.
  std::unique_ptr<SharedSlot[]> shared_;
};

}  // namespace voziroz
