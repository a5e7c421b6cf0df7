// The firewall of the core: every function that the binary standard calls runs its body inside
// Guarded, so that nothing but an HRESULT leaves the library.
#pragma once

#include <exception>
#include <new>

#include "com/runtime.h"

namespace voziroz {

// Runs `body` (which returns an HRESULT). An exception becomes E_OUTOFMEMORY (std::bad_alloc)
// or E_UNEXPECTED (anything else), with the thread's error information saying so.
template <class Body>
HRESULT Guarded(Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    SetThreadErrorInfo(u"Voziroz", u"Out of memory", 0);
    return E_OUTOFMEMORY;
  } catch (...) {
    SetThreadErrorInfo(u"Voziroz", u"Unexpected error", 0);
    return E_UNEXPECTED;
  }
}

}  // namespace voziroz
