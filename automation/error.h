// Errors at the automation boundary.
//
// Error model: a member of an automation object reports failure by throwing. The dispatcher runs
// every member inside a guard (dispatch.h) that turns whatever was thrown into an ErrorInfo:
// number (an HRESULT), source (the class's ProgID, such as "Voziroz.Table"), description (the
// message) and help context. The number is E_UNEXPECTED unless the error carries a failure code
// of its own (AutomationError with a negative code). Nothing else crosses the boundary.
#pragma once

#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>

namespace voziroz {

// The 32-bit status codes of the automation binary standard; negative values are failures.
using HResult = std::int32_t;

inline constexpr HResult kOk = 0;
inline constexpr HResult kUnexpected = static_cast<HResult>(0x8000FFFFu);      // E_UNEXPECTED
inline constexpr HResult kNotImplemented = static_cast<HResult>(0x80004001u);  // E_NOTIMPL
inline constexpr HResult kDispMemberNotFound = static_cast<HResult>(0x80020003u);
inline constexpr HResult kDispParamNotFound = static_cast<HResult>(0x80020004u);
inline constexpr HResult kDispTypeMismatch = static_cast<HResult>(0x80020005u);
inline constexpr HResult kDispUnknownName = static_cast<HResult>(0x80020006u);
inline constexpr HResult kDispException = static_cast<HResult>(0x80020009u);
inline constexpr HResult kDispOverflow = static_cast<HResult>(0x8002000Au);
inline constexpr HResult kDispBadParamCount = static_cast<HResult>(0x8002000Eu);

constexpr bool Failed(HResult code) {
  return code < 0;
}

// The message of every index error: an index outside an array or a text.
inline constexpr std::string_view kRangeCheckError = "Range check error";

// An error raised inside a member. `code` 0 means "no code of its own" (reported as E_UNEXPECTED).
class AutomationError : public std::runtime_error {
 public:
  explicit AutomationError(const std::string& message, HResult code = 0,
                           std::uint32_t help_context = 0)
      : std::runtime_error(message), code_(code), help_context_(help_context) {}

  HResult Code() const { return code_; }
  std::uint32_t HelpContext() const { return help_context_; }

 private:
  HResult code_;
  std::uint32_t help_context_;
};

// Throws the "Range check error".
[[noreturn]] void ThrowRangeError();

// What the script receives about a failed member. Texts are in the code page.
struct ErrorInfo {
  HResult Number = kOk;
  std::string Source;
  std::string Description;
  std::uint32_t HelpContext = 0;
};

// The error information for an exception thrown by a member of the class `source` (its ProgID):
// AutomationError as it says; std::out_of_range as "Range check error"; std::bad_alloc as "Out of
// memory"; any other std::exception by its message; anything else as "Unexpected error".
ErrorInfo ErrorInfoFrom(std::exception_ptr error, std::string_view source);

}  // namespace voziroz
