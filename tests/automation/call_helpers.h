// Helpers for tests that call objects by name as a script does.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "automation/call_by_name.h"

namespace voziroz {

// The error information of a call that must fail inside its member (a failed test otherwise).
inline ErrorInfo ErrorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const CallFailure& e) {
    EXPECT_EQ(e.Outcome().Status, kDispException);
    return e.Outcome().Error;
  }
  ADD_FAILURE() << "no error";
  return {};
}

}  // namespace voziroz
