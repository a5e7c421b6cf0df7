#include "engine/text_pool.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace voziroz {
namespace {

// Small tables keep small pools: blocks start at this size and double up to a window.
constexpr std::size_t kFirstBlockBytes = std::size_t{64} << 10;
constexpr const char* kFullMessage = "a table's text pool is limited to 4 GiB";

}  // namespace

TextPool& TextPool::operator=(TextPool&& other) noexcept {
  blocks_ = std::move(other.blocks_);
  windows_ = std::move(other.windows_);
  cursor_ = std::exchange(other.cursor_, nullptr);
  next_reference_ = std::exchange(other.next_reference_, 0);
  end_ = std::exchange(other.end_, nullptr);
  shared_ = std::move(other.shared_);
  other.Clear();
  return *this;
}

// Each copied block keeps its capacity, so it covers the same windows and every reference
// stays valid in the copy; only the bytes in use are written.
TextPool& TextPool::operator=(const TextPool& other) {
  if (this == &other) return *this;
  Clear();
  for (const TextBuffer& block : other.blocks_) {
    const bool last = &block == &other.blocks_.back();
    const std::size_t used =
        last ? static_cast<std::size_t>(other.cursor_ - block.data()) : block.size();
    AddBlock(block.capacity());
    if (used) std::memcpy(cursor_, block.data(), used);
    cursor_ += used;
    next_reference_ += used;
  }
  return *this;
}

std::uint32_t TextPool::AddSharedSlowly(std::string_view text) {
  if (text.empty() || text.size() > kSharedBytes) return Add(text);
  if (!shared_) shared_ = std::make_unique<SharedSlot[]>(kSharedSlots);
  SharedSlot& slot = SlotOf(text);
  const std::uint64_t bytes = PackedBytesOf(text);
  if (slot.bytes == bytes && slot.size == text.size()) return slot.reference;
  const std::uint32_t reference = Add(text);
  slot = {bytes, reference, static_cast<std::uint32_t>(text.size())};
  return reference;
}

void TextPool::Clear() {
  shared_.reset();
  blocks_.clear();
  windows_.clear();
  cursor_ = end_ = nullptr;
  next_reference_ = 0;
}

// A text longer than a window gets a block of its own (more than one window); the blocks that
// follow go back to window size.
void TextPool::StartBlock(std::size_t bytes) {
  if (bytes >= kWindowCount * kWindowBytes) throw std::length_error(kFullMessage);
  const std::size_t last = blocks_.empty() ? 0 : blocks_.back().capacity();
  AddBlock(std::max(bytes + 1, std::clamp(2 * last, kFirstBlockBytes, kWindowBytes)));
}

void TextPool::AddBlock(std::size_t capacity) {
  const std::size_t windows = (capacity + kWindowBytes - 1) / kWindowBytes;
  if (windows > kWindowCount - windows_.size()) throw std::length_error(kFullMessage);
  TextBuffer block;
  block.Reserve(capacity);
  windows_.reserve(windows_.size() + windows);
  blocks_.reserve(blocks_.size() + 1);
  if (!blocks_.empty())
    blocks_.back().Resize(static_cast<std::size_t>(cursor_ - blocks_.back().data()));
  blocks_.push_back(std::move(block));
  next_reference_ = windows_.size() << kWindowBits;
  for (std::size_t k = 0; k < windows; ++k)
    windows_.push_back(blocks_.back().data() + k * kWindowBytes);
  cursor_ = blocks_.back().data();
  end_ = cursor_ + capacity;
}

}  // namespace voziroz
