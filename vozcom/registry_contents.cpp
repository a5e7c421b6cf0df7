#include "vozcom/registry_contents.h"

#include <algorithm>

namespace voziroz {
namespace {

constexpr char kSeparator = '\t';

char FoldAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool HoldsForbidden(std::string_view field) {
  return field.find_first_of(std::string_view("\t\n\r\0", 4)) != std::string_view::npos;
}

bool IsKeyPath(std::string_view key) {
  return !key.empty() && key.front() != '\\' && key.back() != '\\' &&
         key.find("\\\\") == std::string_view::npos;
}

void CheckField(std::string_view field, std::string_view what) {
  if (HoldsForbidden(field))
    throw BadRegistryField("a registry " + std::string(what) +
                           " cannot hold a tab, a line break or NUL");
}

}  // namespace

RegistryContents RegistryContents::Parse(std::string_view text) {
  RegistryContents contents;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (line.ends_with('\r')) line.remove_suffix(1);
    Line parsed;
    parsed.Verbatim = line;
    const std::size_t first = line.find(kSeparator);
    const std::size_t second =
        first == std::string_view::npos ? first : line.find(kSeparator, first + 1);
    if (!line.starts_with('#') && second != std::string_view::npos &&
        line.find(kSeparator, second + 1) == std::string_view::npos &&
        IsKeyPath(line.substr(0, first))) {
      parsed.IsValue = true;
      parsed.Entry = {std::string(line.substr(0, first)),
                      std::string(line.substr(first + 1, second - first - 1)),
                      std::string(line.substr(second + 1))};
      parsed.Verbatim.clear();
    }
    contents.lines_.push_back(std::move(parsed));
  }
  contents.Reindex();
  return contents;
}

std::string RegistryContents::Serialize() const {
  std::string text;
  for (const Line& line : lines_) {
    if (line.IsValue)
      text += line.Entry.Key + kSeparator + line.Entry.Name + kSeparator + line.Entry.Value;
    else
      text += line.Verbatim;
    text += '\n';
  }
  return text;
}

std::string RegistryContents::IndexKey(std::string_view key, std::string_view name) {
  std::string folded;
  folded.reserve(key.size() + name.size() + 1);
  for (char c : key) folded += FoldAscii(c);
  folded += kSeparator;
  for (char c : name) folded += FoldAscii(c);
  return folded;
}

void RegistryContents::Reindex() {
  index_.clear();
  for (std::size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i].IsValue)
      index_.try_emplace(IndexKey(lines_[i].Entry.Key, lines_[i].Entry.Name), i);
}

const std::string* RegistryContents::Find(std::string_view key, std::string_view name) const {
  const auto it = index_.find(IndexKey(key, name));
  return it == index_.end() ? nullptr : &lines_[it->second].Entry.Value;
}

void RegistryContents::Set(std::string_view key, std::string_view name, std::string_view value) {
  if (!IsKeyPath(key)) throw BadRegistryField("not a registry key: \"" + std::string(key) + "\"");
  CheckField(key, "key");
  CheckField(name, "value name");
  CheckField(value, "value");
  const auto [it, added] = index_.try_emplace(IndexKey(key, name), lines_.size());
  if (!added) {
    lines_[it->second].Entry.Value = value;
    return;
  }
  Line line;
  line.IsValue = true;
  line.Entry = {std::string(key), std::string(name), std::string(value)};
  lines_.push_back(std::move(line));
}

std::size_t RegistryContents::DeleteKey(std::string_view key) {
  const std::string folded_key = IndexKey(key, "");
  const std::size_t removed = std::erase_if(lines_, [&](const Line& line) {
    return line.IsValue && IndexKey(line.Entry.Key, "") == folded_key;
  });
  if (removed > 0) Reindex();
  return removed;
}

std::vector<StoredValue> RegistryContents::Values() const {
  std::vector<StoredValue> values;
  for (const Line& line : lines_)
    if (line.IsValue) values.push_back(line.Entry);
  return values;
}

}  // namespace voziroz
