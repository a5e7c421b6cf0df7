#include "automation/class_factory.h"

#include <cstdio>

namespace voziroz {

void ReportCreationFailure(std::string_view message) {
  std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(kCreationFailureCaption.size()),
               kCreationFailureCaption.data(), static_cast<int>(message.size()), message.data());
}

HResult ClassFactory::CreateObject(ObjectPtr<AutomationObject>& out) const {
  out = {};
  try {
    out = class_->Create();
    return kOk;
  } catch (...) {
    ReportCreationFailure(ErrorInfoFrom(std::current_exception(), Class().ProgId).Description);
    return kUnexpected;
  }
}

}  // namespace voziroz
