// Variant: the automation value that crosses the boundary between scripts and the objects.
//
// A small tagged union: Empty, Null, 8-bit signed and unsigned and 32-bit integers, boolean
// (reported as -1 and 0 at the boundary), error code, text, array, null array ("no array at all")
// and object reference. Text is in the code page inside the component (engine/code_page.h:
// Windows-1252 or UTF-8); it becomes UTF-16 only at the outer edge (engine/windows1252.h). A text
// from a script that the code page could not hold whole also keeps the script's exact string, in
// UTF-8, for file names (automation/script_text.h).
// Arrays are immutable once inside a Variant and shared by copies, so copying any Variant is
// cheap; a script always receives its own copy of an array from the outer edge, so sharing is
// never visible to it.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "automation/automation_object.h"
#include "automation/error.h"

namespace voziroz {

enum class VariantKind : std::uint8_t {
  Empty,
  Null,
  I1,
  UI1,
  I4,
  Bool,
  Error,
  Text,
  Array,
  NullArray,
  Object
};

// The value "parameter not found" that an omitted optional argument arrives as.
inline constexpr HResult kParamNotFound = kDispParamNotFound;

class VariantArray;
using ArrayPtr = std::shared_ptr<const VariantArray>;

// The alternatives that Visit hands to its visitor, one per kind, in kind order.
using EmptyValue = std::monostate;
struct NullValue {
  friend bool operator==(NullValue, NullValue) { return true; }
};
struct ErrorValue {
  HResult Code;
  friend bool operator==(ErrorValue, ErrorValue) = default;
};
struct NullArrayValue {
  friend bool operator==(NullArrayValue, NullArrayValue) { return true; }
};
// A text whose code-page form lost characters, with the exact string it came from.
struct ExactText {
  std::string Text;  // the code page's form, as AsText gives it
  std::string Utf8;  // the script's exact string
  friend bool operator==(const ExactText&, const ExactText&) = default;
};

class Variant {
 public:
  Variant() = default;  // Empty

  static Variant Null() { return Variant(NullValue{}); }
  static Variant I1(std::int8_t value) { return Variant(value); }
  static Variant UI1(std::uint8_t value) { return Variant(value); }
  static Variant I4(std::int32_t value) { return Variant(value); }
  static Variant Bool(bool value) { return Variant(value); }
  static Variant Error(HResult code) { return Variant(ErrorValue{code}); }
  static Variant Text(std::string ansi) { return Variant(std::move(ansi)); }
  // A Text that also keeps `exact_utf8`, the string that `ansi` stands for but lost characters of.
  static Variant Text(std::string ansi, std::string exact_utf8);
  static Variant Array(VariantArray array);
  static Variant Array(ArrayPtr array);  // requires a non-null array
  static Variant NullArray() { return Variant(NullArrayValue{}); }
  static Variant Object(ObjectPtr<AutomationObject> object);  // requires a non-null object

  VariantKind Kind() const {
    return IsExactText() ? VariantKind::Text : static_cast<VariantKind>(value_.index());
  }
  bool IsParamNotFound() const {
    return Kind() == VariantKind::Error && std::get<ErrorValue>(value_).Code == kParamNotFound;
  }

  // Each accessor requires its kind (std::bad_variant_access otherwise).
  std::int8_t AsI1() const { return std::get<std::int8_t>(value_); }
  std::uint8_t AsUI1() const { return std::get<std::uint8_t>(value_); }
  std::int32_t AsI4() const { return std::get<std::int32_t>(value_); }
  bool AsBool() const { return std::get<bool>(value_); }
  HResult AsError() const { return std::get<ErrorValue>(value_).Code; }
  const std::string& AsText() const {
    return IsExactText() ? std::get<ExactTextPtr>(value_)->Text : std::get<std::string>(value_);
  }
  // The exact string of a Text that the code page could not hold whole; null for any other value.
  const std::string* ExactUtf8() const {
    return IsExactText() ? &std::get<ExactTextPtr>(value_)->Utf8 : nullptr;
  }
  const VariantArray& AsArray() const { return *std::get<ArrayPtr>(value_); }
  const ArrayPtr& SharedArray() const { return std::get<ArrayPtr>(value_); }
  const ObjectPtr<AutomationObject>& AsObject() const {
    return std::get<ObjectPtr<AutomationObject>>(value_);
  }

  // Calls `visitor` with the value's alternative (EmptyValue, NullValue, std::int8_t,
  // std::uint8_t, std::int32_t, bool, ErrorValue, std::string, ArrayPtr, NullArrayValue,
  // ObjectPtr<AutomationObject>); the visitor must accept every one of them. Every Text is handed
  // on as its std::string.
  template <class Visitor>
  decltype(auto) Visit(Visitor&& visitor) const {
    return std::visit(
        [&](const auto& v) -> decltype(auto) {
          if constexpr (std::is_same_v<std::decay_t<decltype(v)>, ExactTextPtr>)
            return visitor(v->Text);
          else
            return visitor(v);
        },
        value_);
  }

  // Same kind and equal value; arrays compare element by element, objects by identity, texts
  // with their exact strings.
  friend bool operator==(const Variant& a, const Variant& b);

 private:
  // Shared by copies, and kept apart so that the common kinds stay small.
  using ExactTextPtr = std::shared_ptr<const ExactText>;
  // In kind order; the exact text comes last, out of that order, as a second form of Text.
  using Storage = std::variant<EmptyValue, NullValue, std::int8_t, std::uint8_t, std::int32_t, bool,
                               ErrorValue, std::string, ArrayPtr, NullArrayValue,
                               ObjectPtr<AutomationObject>, ExactTextPtr>;
  bool IsExactText() const { return std::holds_alternative<ExactTextPtr>(value_); }
  template <class T>
  explicit Variant(T value) : value_(std::in_place_type<T>, std::move(value)) {}

  Storage value_;
};

// An array of Variants with one or two dimensions, lower bound 0 in each. Two-dimensional arrays
// are indexed (row, column).
class VariantArray {
 public:
  explicit VariantArray(std::vector<Variant> elements);
  VariantArray(std::int32_t rows, std::int32_t columns);  // every element Empty

  int Dimensions() const { return columns_ < 0 ? 1 : 2; }
  // Elements (one dimension) or rows (two dimensions).
  std::int32_t Length() const { return rows_; }
  // Columns of a two-dimensional array; 0 for one dimension.
  std::int32_t Columns() const { return columns_ < 0 ? 0 : columns_; }
  // All elements, a two-dimensional array row after row.
  std::span<const Variant> Elements() const { return elements_; }

  // An index outside the bounds throws the "Range check error".
  const Variant& operator[](std::int32_t index) const { return elements_[Check(index, -1)]; }
  Variant& operator[](std::int32_t index) { return elements_[Check(index, -1)]; }
  const Variant& At(std::int32_t row, std::int32_t column) const {
    return elements_[Check(row, column)];
  }
  Variant& At(std::int32_t row, std::int32_t column) { return elements_[Check(row, column)]; }

  friend bool operator==(const VariantArray& a, const VariantArray& b) = default;

 private:
  std::size_t Check(std::int32_t row, std::int32_t column) const;

  std::int32_t rows_;
  std::int32_t columns_;  // -1 for one dimension
  std::vector<Variant> elements_;
};

// A one-dimensional array of texts.
Variant TextArray(std::span<const std::string> texts);

// --- Conversions --------------------------------------------------------------------------------
// The conversions of the boundary. ToText: Empty gives "", integers their decimal text, booleans
// "True" and "False", text itself. ToInt32: Empty 0, booleans -1 and 0, text holding a decimal
// integer (blanks around it and a sign allowed). ToBool: Empty false, numbers true unless 0, text
// "True"/"False" (any case) or a number. Anything else fails: the To... functions throw an
// AutomationError "Could not convert variant of type (Null) into type (String)" (or "Overflow while
// converting variant of type (OleStr) into type (Integer)" for a number out of range); the Try...
// functions report which failure it was, as the dispatcher needs.

enum class Conversion : std::uint8_t { Ok, TypeMismatch, Overflow };

// The kind's name in conversion messages ("Null", "Integer", "OleStr", "Array Variant", ...).
std::string_view KindName(VariantKind kind);

Conversion TryToText(const Variant& value, std::string& out);
Conversion TryToInt32(const Variant& value, std::int32_t& out);
Conversion TryToBool(const Variant& value, bool& out);

std::string ToText(const Variant& value);
std::int32_t ToInt32(const Variant& value);
bool ToBool(const Variant& value);

}  // namespace voziroz
