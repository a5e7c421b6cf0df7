// The creation-failure message on Windows: a message box captioned "VAZ Error".
#include <windows.h>

#include <string>

#include "automation/class_factory.h"

namespace voziroz {

void ReportCreationFailure(std::string_view message) {
  const std::string text(message);
  const std::string caption(kCreationFailureCaption);
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace voziroz
