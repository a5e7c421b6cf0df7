// ForeignObject: an object of another component (or a script's own object) carried inside a
// Variant, so that a container can hold it and give the same reference back.
//
// It holds one reference to the object from construction to destruction. It has no members that
// the dispatcher can call and no ProgID; it is never an IParser.
#pragma once

#include "automation/dispatch.h"
#include "com/platform.h"

namespace voziroz {

class ForeignObject final : public AutomationObject {
 public:
  // Requires a non-null object; takes a reference of its own.
  explicit ForeignObject(IUnknown* object);
  ~ForeignObject() override;

  const MemberTable& Members() const override;
  // The held reference (not AddRef'ed for the caller).
  IUnknown* Get() const { return object_; }

 private:
  IUnknown* object_;
};

}  // namespace voziroz
