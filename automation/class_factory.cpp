#include "automation/class_factory.h"

namespace voziroz {

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
