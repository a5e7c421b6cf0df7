#include "windows/foreign_object.h"

namespace voziroz {
namespace {

constexpr InterfaceInfo kForeignInterface = {"IUnknown", Guid{}, "", false, {}};
constexpr ClassInfo kForeignClass = {"ForeignObject", Guid{}, "", &kForeignInterface, "", "", true};

}  // namespace

ForeignObject::ForeignObject(IUnknown* object) : object_(object) {
  object_->AddRef();
}

ForeignObject::~ForeignObject() {
  object_->Release();
}

const MemberTable& ForeignObject::Members() const {
  static const MemberTable table(kForeignClass);
  return table;
}

}  // namespace voziroz
