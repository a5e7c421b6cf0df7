#include "automation/variant.h"

#include <limits>
#include <string>

#include "engine/ansi_case.h"

namespace voziroz {
namespace {

std::string_view TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A decimal integer with blanks around it and an optional sign.
Conversion ParseInt32(std::string_view text, std::int32_t& out) {
  text = TrimBlanks(text);
  const bool negative = !text.empty() && text.front() == '-';
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
  if (text.empty()) return Conversion::TypeMismatch;
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return Conversion::TypeMismatch;
    if (magnitude <= kLimit) magnitude = magnitude * 10 + (c - '0');
  }
  if (magnitude > kLimit || (!negative && magnitude == kLimit)) return Conversion::Overflow;
  out = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  return Conversion::Ok;
}

Conversion TextToBool(std::string_view text, bool& out) {
  const std::string word = AnsiLowerCase(TrimBlanks(text));
  if (word == "true" || word == "false") {
    out = word == "true";
    return Conversion::Ok;
  }
  std::int32_t number = 0;
  const Conversion result = ParseInt32(text, number);
  if (result == Conversion::TypeMismatch) return result;
  out = result == Conversion::Overflow || number != 0;
  return Conversion::Ok;
}

[[noreturn]] void ThrowConversionError(Conversion failure, VariantKind from, std::string_view to) {
  const char* prefix =
      failure == Conversion::Overflow ? "Overflow while converting" : "Could not convert";
  throw AutomationError(std::string(prefix) + " variant of type (" + std::string(KindName(from)) +
                        ") into type (" + std::string(to) + ")");
}

}  // namespace

Variant Variant::Array(VariantArray array) {
  return Variant(ArrayPtr(std::make_shared<const VariantArray>(std::move(array))));
}

Variant Variant::Array(ArrayPtr array) {
  return Variant(std::move(array));
}

Variant Variant::Object(ObjectPtr<AutomationObject> object) {
  return Variant(std::move(object));
}

Variant Variant::Text(std::string ansi, std::string exact_utf8) {
  return Variant(
      std::make_shared<const ExactText>(ExactText{std::move(ansi), std::move(exact_utf8)}));
}

bool operator==(const Variant& a, const Variant& b) {
  if (a.Kind() == VariantKind::Array && b.Kind() == VariantKind::Array)
    return a.AsArray() == b.AsArray();
  if (a.IsExactText() && b.IsExactText())
    return *std::get<Variant::ExactTextPtr>(a.value_) == *std::get<Variant::ExactTextPtr>(b.value_);
  return a.value_ == b.value_;
}

VariantArray::VariantArray(std::vector<Variant> elements)
    : rows_(static_cast<std::int32_t>(elements.size())),
      columns_(-1),
      elements_(std::move(elements)) {}

VariantArray::VariantArray(std::int32_t rows, std::int32_t columns)
    : rows_(rows < 0 ? 0 : rows),
      columns_(columns < 0 ? 0 : columns),
      elements_(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(columns_)) {}

std::size_t VariantArray::Check(std::int32_t row, std::int32_t column) const {
  const bool flat = column < 0;
  if (row < 0 || (flat && static_cast<std::size_t>(row) >= elements_.size()) ||
      (!flat && (row >= rows_ || column >= Columns())))
    ThrowRangeError();
  return flat ? static_cast<std::size_t>(row)
              : static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
                    static_cast<std::size_t>(column);
}

Variant TextArray(std::span<const std::string> texts) {
  std::vector<Variant> elements;
  elements.reserve(texts.size());
  for (const std::string& text : texts) elements.push_back(Variant::Text(text));
  return Variant::Array(VariantArray(std::move(elements)));
}

std::string_view KindName(VariantKind kind) {
  switch (kind) {
    case VariantKind::Empty:
      return "Empty";
    case VariantKind::Null:
      return "Null";
    case VariantKind::I1:
      return "ShortInt";
    case VariantKind::UI1:
      return "Byte";
    case VariantKind::I4:
      return "Integer";
    case VariantKind::Bool:
      return "Boolean";
    case VariantKind::Error:
      return "Error";
    case VariantKind::Text:
      return "OleStr";
    case VariantKind::Array:
    case VariantKind::NullArray:
      return "Array Variant";
    case VariantKind::Object:
      return "Dispatch";
  }
  return "Unknown";
}

// The one place where every kind is classified for the conversions: integers and booleans have
// a number, Empty is zero, text is parsed, everything else converts to nothing but itself.
Conversion TryToInt32(const Variant& value, std::int32_t& out) {
  switch (value.Kind()) {
    case VariantKind::Empty:
      out = 0;
      return Conversion::Ok;
    case VariantKind::I1:
      out = value.AsI1();
      return Conversion::Ok;
    case VariantKind::UI1:
      out = value.AsUI1();
      return Conversion::Ok;
    case VariantKind::I4:
      out = value.AsI4();
      return Conversion::Ok;
    case VariantKind::Bool:
      out = value.AsBool() ? -1 : 0;
      return Conversion::Ok;
    case VariantKind::Text:
      return ParseInt32(value.AsText(), out);
    case VariantKind::Null:
    case VariantKind::Error:
    case VariantKind::Array:
    case VariantKind::NullArray:
    case VariantKind::Object:
      return Conversion::TypeMismatch;
  }
  return Conversion::TypeMismatch;
}

Conversion TryToText(const Variant& value, std::string& out) {
  if (value.Kind() == VariantKind::Text) {
    out = value.AsText();
    return Conversion::Ok;
  }
  if (value.Kind() == VariantKind::Empty) {
    out.clear();
    return Conversion::Ok;
  }
  if (value.Kind() == VariantKind::Bool) {
    out = value.AsBool() ? "True" : "False";
    return Conversion::Ok;
  }
  std::int32_t number = 0;
  if (TryToInt32(value, number) != Conversion::Ok) return Conversion::TypeMismatch;
  out = std::to_string(number);
  return Conversion::Ok;
}

Conversion TryToBool(const Variant& value, bool& out) {
  if (value.Kind() == VariantKind::Text) return TextToBool(value.AsText(), out);
  std::int32_t number = 0;
  const Conversion result = TryToInt32(value, number);
  out = number != 0;
  return result;
}

std::string ToText(const Variant& value) {
  std::string text;
  const Conversion result = TryToText(value, text);
  if (result != Conversion::Ok) ThrowConversionError(result, value.Kind(), "String");
  return text;
}

std::int32_t ToInt32(const Variant& value) {
  std::int32_t number = 0;
  const Conversion result = TryToInt32(value, number);
  if (result != Conversion::Ok) ThrowConversionError(result, value.Kind(), "Integer");
  return number;
}

bool ToBool(const Variant& value) {
  bool flag = false;
  const Conversion result = TryToBool(value, flag);
  if (result != Conversion::Ok) ThrowConversionError(result, value.Kind(), "Boolean");
  return flag;
}

}  // namespace voziroz
