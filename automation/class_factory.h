// ClassFactory: makes the objects of one creatable class for the server. The server makes one
// factory per creatable class when the library loads; factories live until it unloads.
//
// Errors: a creation that fails (only when memory runs out, or an object's constructor throws)
// is reported the way the server's one message does, as the line "VAZ Error: <message>" on
// standard error, and answered with kUnexpected.
#pragma once

#include "automation/class_registry.h"
#include "automation/error.h"
#include "automation/server_lifetime.h"

namespace voziroz {

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

// Shows the creation-failure message: "VAZ Error: <message>" on standard error.
void ReportCreationFailure(std::string_view message);

// Makes the factories of all creatable classes (the server calls it when the library loads;
// later calls do nothing).
void MakeClassFactories();
// The factory of a class; null for a class that cannot be created.
ClassFactory* FindClassFactory(const Guid& clsid);

}  // namespace voziroz
