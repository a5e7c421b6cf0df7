// ZeroedArray<T>: a growable array of a trivially copyable T whose value-initialised T{} is all
// zero bytes. New elements come from zeroed memory (calloc), so a large array is never written
// by the program before it is filled, and pages that nothing fills are never touched at all.
// Large blocks ask for huge pages. Throws std::bad_alloc when memory runs out.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

#include "engine/text_buffer.h"

namespace voziroz {

template <typename T>
class ZeroedArray {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  ZeroedArray() = default;
  ZeroedArray(ZeroedArray&&) noexcept = default;
  ZeroedArray& operator=(ZeroedArray&&) noexcept = default;
  ZeroedArray(const ZeroedArray& other) { *this = other; }
  ZeroedArray& operator=(const ZeroedArray& other) {
    if (this != &other) {
      Clear();
      Resize(other.size_);
      if (size_) std::memcpy(data_.get(), other.data_.get(), size_ * sizeof(T));
    }
    return *this;
  }

  // Sets the size; elements past the old size are zero. The capacity grows at least twofold
  // and never shrinks, except by Clear.
  void Resize(std::size_t size) {
    if (size > capacity_) Grow(std::max(size, 2 * capacity_));
    if (size > size_) {
      const std::size_t dirty_end = std::min(size, written_);
      if (dirty_end > size_) std::fill(data_.get() + size_, data_.get() + dirty_end, T{});
    }
    size_ = size;
    written_ = std::max(written_, size_);
  }
  void Clear() {
    data_.reset();
    size_ = capacity_ = written_ = 0;
  }

  std::size_t size() const { return size_; }
  T& operator[](std::size_t i) { return data_[i]; }
  const T& operator[](std::size_t i) const { return data_[i]; }
  T* data() { return data_.get(); }

 private:
  struct Free {
    void operator()(T* p) const { std::free(p); }
  };

  void Grow(std::size_t capacity) {
    std::unique_ptr<T[], Free> fresh(static_cast<T*>(std::calloc(capacity, sizeof(T))));
    if (!fresh) throw std::bad_alloc();
    AdviseHugePages(fresh.get(), capacity * sizeof(T));
    if (size_) std::memcpy(fresh.get(), data_.get(), size_ * sizeof(T));
    data_ = std::move(fresh);
    capacity_ = capacity;
    written_ = size_;
  }

  std::unique_ptr<T[], Free> data_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
  std::size_t written_ = 0;  // elements at and past this index are still zero
};

}  // namespace voziroz
