// ClassFactory: makes the objects of one creatable class for the server. The server makes one
// factory per class it serves when the library loads (automation/served_classes.h); factories live
// until it unloads.
//
// Errors: a creation that fails (only when memory runs out, or an object's constructor throws)
// is reported as the server's one message (ReportCreationFailure) and answered with kUnexpected.
#pragma once

#include <string_view>

#include "automation/automation_object.h"
#include "automation/error.h"
#include "automation/interfaces.h"
#include "automation/server_lifetime.h"

namespace voziroz {

// A class whose objects can be made: its identity (from interfaces.h) and its maker.
struct CreatableClass {
  const ClassInfo* Info = nullptr;
  // A new object with all its fields zero or empty; throws (std::bad_alloc) when it cannot.
  ObjectPtr<AutomationObject> (*Create)() = nullptr;
};

template <class T>
ObjectPtr<AutomationObject> MakeNew() {
  return MakeObject<T>();
}

class ClassFactory {
 public:
  explicit ClassFactory(const CreatableClass& cls) : class_(&cls) {}

  const ClassInfo& Class() const { return *class_->Info; }

  // kOk with a new object in `out`, or kUnexpected with `out` null after reporting the failure.
  HResult CreateObject(ObjectPtr<AutomationObject>& out) const;

  // The factory's own references (each keeps the library loaded).
  LibraryReference& References() { return references_; }

 private:
  const CreatableClass* class_;
  LibraryReference references_;
};

// The caption of the creation-failure message.
inline constexpr std::string_view kCreationFailureCaption = "VAZ Error";

// Shows the creation-failure message: a message box captioned "VAZ Error" on Windows, the line
// "VAZ Error: <message>" on standard error elsewhere.
void ReportCreationFailure(std::string_view message);

}  // namespace voziroz
