// Calls on automation objects through the C interface (include/voziroz.h), made as a script host
// makes them: by member name, with VARIANT arguments, reading VARIANT results.
//
// Error model: a failing call throws ScriptError with the object's error description (or the
// HRESULT when it gave none); running out of memory throws std::bad_alloc.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "include/voziroz.h"

namespace voziroz::cli {

class ScriptError : public std::runtime_error {
 public:
  explicit ScriptError(const std::string& message, std::string description = "")
      : std::runtime_error(message), description_(std::move(description)) {}
  // The object's own description of the error ("" when it gave none).
  const std::string& Description() const { return description_; }

 private:
  std::string description_;
};

// Throws ScriptError "`what`: <error description> (0xHHHHHHHH)" when `result` failed.
void CheckCall(HRESULT result, const char* what);

// A VARIANT result that the caller owns; cleared when it goes.
class OwnedVariant {
 public:
  OwnedVariant() { vz_variant_init(&value_); }
  ~OwnedVariant() { vz_variant_clear(&value_); }
  OwnedVariant(OwnedVariant&& other) noexcept : value_(other.value_) {
    vz_variant_init(&other.value_);
  }
  OwnedVariant(const OwnedVariant&) = delete;
  OwnedVariant& operator=(const OwnedVariant&) = delete;
  OwnedVariant& operator=(OwnedVariant&&) = delete;

  const VARIANT& get() const { return value_; }
  VARIANT* put() { return &value_; }

 private:
  VARIANT value_;
};

// An argument of a call: a 32-bit integer, UTF-8 text or an object.
struct ScriptArg {
  ScriptArg(std::int32_t i4) : kind(VT_I4), number(i4) {}
  ScriptArg(std::string_view utf8) : kind(VT_BSTR), text(utf8) {}
  ScriptArg(IDispatch* dispatch) : kind(VT_DISPATCH), object(dispatch) {}
  VARTYPE kind;
  std::int32_t number = 0;
  std::string_view text;
  IDispatch* object = nullptr;
};

// One reference to an object's IDispatch.
class ScriptObject {
 public:
  explicit ScriptObject(IDispatch* object) : object_(object) {}
  ~ScriptObject() {
    if (object_) object_->lpVtbl->Release(object_);
  }
  ScriptObject(ScriptObject&& other) noexcept
      : object_(std::exchange(other.object_, nullptr)), ids_(std::move(other.ids_)) {}
  ScriptObject(const ScriptObject&) = delete;
  ScriptObject& operator=(const ScriptObject&) = delete;
  ScriptObject& operator=(ScriptObject&&) = delete;

  IDispatch* get() const { return object_; }
  // Calls member `name` (a method or a property get) with `args`, first first.
  OwnedVariant Call(const char* name, std::initializer_list<ScriptArg> args = {});

 private:
  DISPID IdOf(const char* name);

  IDispatch* object_;
  std::vector<std::pair<std::string, DISPID>> ids_;
};

// Readers of results. Integers of any width (a boolean as -1 or 0; anything else 0).
std::int32_t IntOf(const VARIANT& value);
bool BoolOf(const VARIANT& value);
// The UTF-8 text of a string result ("" for anything else).
std::string TextOf(const VARIANT& value);

// The elements of an array result (VT_ARRAY | VT_VARIANT, one or two dimensions).
class ArrayView {
 public:
  // Throws ScriptError when `value` is not such an array.
  explicit ArrayView(const VARIANT& value);
  std::int32_t Dimensions() const { return dimensions_; }
  std::int32_t Rows() const { return rows_; }        // the length of the first dimension
  std::int32_t Columns() const { return columns_; }  // 1 for one dimension
  const VARIANT& At(std::int32_t row, std::int32_t column = 0) const {
    return elements_[row + rows_ * column];  // the first index varies fastest
  }

 private:
  const VARIANT* elements_ = nullptr;
  std::int32_t dimensions_ = 1, rows_ = 0, columns_ = 1;
};

}  // namespace voziroz::cli
