#include "engine/text_pool.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace voziroz {
namespace {

// Small tables keep small pools: blocks start at this size and double up to a window.
constexpr std::size_t kFirstBlockBytes = std::size_t{64} << 10;

std::size_t WindowsOf(std::size_t block_bytes) {
  return std::max<std::size_t>(1,
                               (block_bytes + TextPool::kWindowBytes - 1) >> TextPool::kWindowBits);
}

}  // namespace

// Each copied block keeps its capacity, so it covers the same windows and every reference
// stays valid in the copy; only the bytes in use are written.
TextPool& TextPool::operator=(const TextPool& other) {
  if (this == &other) return *this;
  Clear();
  for (const TextBuffer& block : other.blocks_) {
    AddBlock(block.capacity());
    blocks_.back().Resize(block.size());
    if (!block.empty()) std::memcpy(blocks_.back().data(), block.data(), block.size());
  }
  return *this;
}

// A reservation always ends inside its block (one byte at least is taken into account), so a
// reference never reaches 2^32 and wraps around.
std::uint32_t TextPool::Reserve(std::size_t bytes) {
  if (blocks_.empty() ||
      blocks_.back().capacity() - blocks_.back().size() < std::max<std::size_t>(bytes, 1)) {
    const std::size_t last = blocks_.empty() ? 0 : blocks_.back().capacity();
    AddBlock(std::max(bytes, std::clamp(2 * last, kFirstBlockBytes, kWindowBytes)));
  }
  TextBuffer& block = blocks_.back();
  const std::size_t reference = (first_window_ << kWindowBits) + block.size();
  block.Resize(block.size() + bytes);
  return static_cast<std::uint32_t>(reference);
}

std::uint32_t TextPool::Add(std::string_view text) {
  const std::uint32_t reference = Reserve(text.size());
  if (!text.empty()) std::memcpy(Data(reference), text.data(), text.size());
  return reference;
}

void TextPool::Clear() {
  blocks_.clear();
  windows_.clear();
  first_window_ = 0;
}

void TextPool::AddBlock(std::size_t bytes) {
  const std::size_t windows = WindowsOf(bytes);
  if (windows > kWindowCount - windows_.size())
    throw std::length_error("a table's text pool is limited to 4 GiB");
  TextBuffer block;
  block.Reserve(bytes);
  windows_.reserve(windows_.size() + windows);
  blocks_.push_back(std::move(block));
  first_window_ = windows_.size();
  for (std::size_t k = 0; k < windows; ++k)
    windows_.push_back(blocks_.back().data() + k * kWindowBytes);
}

}  // namespace voziroz
