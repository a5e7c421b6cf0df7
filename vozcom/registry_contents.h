// RegistryContents: the values of the registry store in memory, and the store's file format.
//
// Format (UTF-8 text): one value per line, `key<TAB>name<TAB>value`, ended by a line feed. The key
// is a path below HKEY_CLASSES_ROOT whose parts are separated by backslashes
// ("CLSID\{C75F7A80-B719-4164-AFC1-56A316B44679}\InprocServer32"); an empty name is the key's
// default value. No field holds a tab, a line feed or a carriage return, so nothing is escaped.
// Keys and names compare without regard to ASCII case; the first spelling written is kept.
// Lines that begin with '#', empty lines and lines not of this shape are kept as they stand, in
// their place, and otherwise ignored: a hand-edited file never loses a line to a rewrite.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace voziroz {

struct StoredValue {
  std::string Key;
  std::string Name;
  std::string Value;
  friend bool operator==(const StoredValue&, const StoredValue&) = default;
};

// A key, name or value that the format cannot hold, or a key that is not a path of names.
class BadRegistryField : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

class RegistryContents {
 public:
  // Never fails: lines that are not values are kept as they stand.
  static RegistryContents Parse(std::string_view text);
  std::string Serialize() const;

  // The value, or null when there is none. Valid until the next change.
  const std::string* Find(std::string_view key, std::string_view name) const;
  // Replaces the value in its place, or appends it. Throws BadRegistryField for a key that is
  // empty, starts or ends with a backslash or has an empty part, or a field with a tab, line
  // feed, carriage return or NUL.
  void Set(std::string_view key, std::string_view name, std::string_view value);
  // Removes the key's own values (not its subkeys'); returns how many.
  std::size_t DeleteKey(std::string_view key);

  // The values in file order.
  std::vector<StoredValue> Values() const;

 private:
  struct Line {
    bool IsValue = false;
    StoredValue Entry;     // when IsValue
    std::string Verbatim;  // otherwise
  };
  // The key and name folded to upper case, joined by a tab: unique for every value.
  static std::string IndexKey(std::string_view key, std::string_view name);
  void Reindex();

  std::vector<Line> lines_;
  std::unordered_map<std::string, std::size_t> index_;  // IndexKey -> first line holding it
};

}  // namespace voziroz
