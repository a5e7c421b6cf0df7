#include "engine/text_buffer.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace voziroz {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

// On Linux large blocks are aligned to huge pages and marked for them: first-touch page faults
// dominate the cost of filling a fresh buffer on virtual machines. Elsewhere every block is a
// plain one (Windows has no aligned_alloc whose blocks free() releases).
char* Allocate(std::size_t bytes) {
#if defined(__linux__)
  if (bytes >= kHugePage) {
    std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* p = std::aligned_alloc(kHugePage, rounded);
    if (!p) throw std::bad_alloc();
    AdviseHugePages(p, rounded);
    return static_cast<char*>(p);
  }
#endif
  void* p = std::malloc(bytes ? bytes : 1);
  if (!p) throw std::bad_alloc();
  return static_cast<char*>(p);
}

}  // namespace

void AdviseHugePages(void* block, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  auto start = reinterpret_cast<std::uintptr_t>(block);
  std::uintptr_t first = (start + kHugePage - 1) / kHugePage * kHugePage;
  std::uintptr_t last = (start + bytes) / kHugePage * kHugePage;
  if (first < last) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  (void)block;
  (void)bytes;
#endif
}

void TextBuffer::Free::operator()(char* p) const {
  std::free(p);
}

TextBuffer::TextBuffer(std::string_view text) {
  Append(text);
}

TextBuffer& TextBuffer::operator=(const TextBuffer& other) {
  if (this != &other) {
    Clear();
    Append(other.view());
  }
  return *this;
}

void TextBuffer::Reserve(std::size_t capacity) {
  if (capacity <= capacity_) return;
  std::unique_ptr<char[], Free> fresh(Allocate(capacity));
  if (size_) std::memcpy(fresh.get(), data_.get(), size_);
  data_ = std::move(fresh);
  capacity_ = capacity;
}

void TextBuffer::Resize(std::size_t size) {
  if (size > capacity_) Reserve(size > 2 * capacity_ ? size : 2 * capacity_);
  size_ = size;
}

void TextBuffer::Append(std::string_view text) {
  if (text.empty()) return;
  const char* base = data_.get();
  bool aliases = base && text.data() >= base && text.data() < base + size_;
  std::size_t alias_offset = aliases ? static_cast<std::size_t>(text.data() - base) : 0;
  std::size_t old = size_;
  Resize(size_ + text.size());
  const char* source = aliases ? data_.get() + alias_offset : text.data();
  std::memmove(data_.get() + old, source, text.size());
}

}  // namespace voziroz
