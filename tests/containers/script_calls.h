// Helpers for driving container objects by name, as a script does.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "automation/call_by_name.h"

namespace voziroz::testing {

inline Variant Text(std::string_view text) {
  return Variant::Text(std::string(text));
}

// The elements of a one-dimensional array result.
inline std::vector<Variant> ElementsOf(const Variant& array) {
  EXPECT_EQ(array.Kind(), VariantKind::Array);
  if (array.Kind() != VariantKind::Array) return {};
  EXPECT_EQ(array.AsArray().Dimensions(), 1);
  const auto elements = array.AsArray().Elements();
  return {elements.begin(), elements.end()};
}

// The texts of a one-dimensional array of texts.
inline std::vector<std::string> TextsOf(const Variant& array) {
  std::vector<std::string> texts;
  for (const Variant& element : ElementsOf(array)) texts.push_back(ToText(element));
  return texts;
}

}  // namespace voziroz::testing
