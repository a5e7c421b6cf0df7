#include "com/foreign_object.h"

namespace voziroz {
namespace {

constexpr InterfaceInfo kForeignInterface = {"IUnknown", Guid{}, "", false, {}};
constexpr ClassInfo kForeignClass = {"ForeignObject", Guid{}, "", &kForeignInterface, "", "", true};

}  // namespace

ForeignObject::ForeignObject(IUnknown* object) : object_(object) {
  object_->lpVtbl->AddRef(object_);
}

ForeignObject::~ForeignObject() {
  object_->lpVtbl->Release(object_);
}

const MemberTable& ForeignObject::Members() const {
  static const MemberTable table(kForeignClass);
  return table;
}

}  // namespace voziroz
