// AutomationObject: the reference-counted base of every object that scripts create and call by
// name (Parser, Table, and the objects that join later).
//
// Ownership: an object lives while references to it exist; ObjectPtr holds one reference, and
// the object deletes itself when the count drops to 0. Counts change atomically, so objects may
// be handed between threads, but each object is called by one thread at a time.
// The library's live-object count (read by the server to decide whether it may unload) counts
// every object from construction to destruction.
#pragma once

#include <atomic>
#include <cstdint>
#include <utility>

namespace voziroz {

class MemberTable;
struct ClassInfo;

class AutomationObject {
 public:
  AutomationObject(const AutomationObject&) = delete;
  AutomationObject& operator=(const AutomationObject&) = delete;

  // Both return the new count; Release deletes the object when that count is 0.
  std::uint32_t AddRef();
  std::uint32_t Release();

  // The members of the object's class with their handlers; the same table for every object of a
  // class, alive for the whole program.
  virtual const MemberTable& Members() const = 0;
  // The class's identity (names, ProgID, CLSID and its interface description).
  const ClassInfo& Class() const;

  // Objects of this library that exist now.
  static std::int32_t LiveObjectCount();

 protected:
  AutomationObject();
  virtual ~AutomationObject();

 private:
  std::atomic<std::uint32_t> references_{0};
};

// An owning reference to an automation object (one AddRef on the way in, one Release on the way
// out). Null when empty.
template <class T>
class ObjectPtr {
 public:
  ObjectPtr() = default;
  explicit ObjectPtr(T* object) : object_(object) {
    if (object_) object_->AddRef();
  }
  ObjectPtr(const ObjectPtr& other) : ObjectPtr(other.object_) {}
  template <class U>
  ObjectPtr(const ObjectPtr<U>& other) : ObjectPtr(other.get()) {}
  ObjectPtr(ObjectPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  ObjectPtr& operator=(ObjectPtr other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }
  ~ObjectPtr() {
    if (object_) object_->Release();
  }

  T* get() const { return object_; }
  T& operator*() const { return *object_; }
  T* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  friend bool operator==(const ObjectPtr& a, const ObjectPtr& b) { return a.object_ == b.object_; }

 private:
  T* object_ = nullptr;
};

// Creates an object and returns the first reference to it.
template <class T, class... Args>
ObjectPtr<T> MakeObject(Args&&... args) {
  return ObjectPtr<T>(new T(std::forward<Args>(args)...));
}

}  // namespace voziroz
