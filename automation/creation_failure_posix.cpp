// The creation-failure message where there is no message box: a line on standard error.
#include <cstdio>

#include "automation/class_factory.h"

namespace voziroz {

void ReportCreationFailure(std::string_view message) {
  std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(kCreationFailureCaption.size()),
               kCreationFailureCaption.data(), static_cast<int>(message.size()), message.data());
}

}  // namespace voziroz
