#include "automation/error.h"

#include <new>

namespace voziroz {

void ThrowRangeError() {
  throw AutomationError(std::string(kRangeCheckError));
}

ErrorInfo ErrorInfoFrom(std::exception_ptr error, std::string_view source) {
  ErrorInfo info;
  info.Number = kUnexpected;
  info.Source = source;
  try {
    std::rethrow_exception(error);
  } catch (const AutomationError& e) {
    if (Failed(e.Code())) info.Number = e.Code();
    info.Description = e.what();
    info.HelpContext = e.HelpContext();
  } catch (const std::out_of_range&) {
    info.Description = kRangeCheckError;
  } catch (const std::bad_alloc&) {
    info.Description = "Out of memory";
  } catch (const std::exception& e) {
    info.Description = e.what();
  } catch (...) {
    info.Description = "Unexpected error";
  }
  return info;
}

}  // namespace voziroz
