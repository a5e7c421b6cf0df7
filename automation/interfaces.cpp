#include "automation/interfaces.h"

#include <cstdio>

#include "engine/ansi_case.h"

namespace voziroz {
namespace {

constexpr int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The hex digits of text[first, first + digits) as a number, or nothing.
constexpr std::optional<std::uint32_t> HexField(std::string_view text, std::size_t first,
                                                std::size_t digits) {
  std::uint32_t value = 0;
  for (std::size_t i = first; i < first + digits; ++i) {
    const int digit = HexDigit(text[i]);
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  return value;
}

constexpr std::optional<Guid> ParseGuidText(std::string_view text) {
  constexpr std::string_view kShape = "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
  if (text.size() != kShape.size()) return std::nullopt;
  for (std::size_t i = 0; i < kShape.size(); ++i) {
    if (kShape[i] != 'X' && text[i] != kShape[i]) return std::nullopt;
    if (kShape[i] == 'X' && HexDigit(text[i]) < 0) return std::nullopt;
  }
  Guid guid;
  guid.Data1 = *HexField(text, 1, 8);
  guid.Data2 = static_cast<std::uint16_t>(*HexField(text, 10, 4));
  guid.Data3 = static_cast<std::uint16_t>(*HexField(text, 15, 4));
  constexpr std::size_t kByteAt[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (std::size_t i = 0; i < 8; ++i)
    guid.Data4[i] = static_cast<std::uint8_t>(*HexField(text, kByteAt[i], 2));
  return guid;
}

// A GUID written in the generated tables; a malformed one does not compile.
consteval Guid GuidOf(std::string_view text) {
  return ParseGuidText(text).value();
}

}  // namespace

// The tables: names, DISPIDs, slots, types, flags and help strings of every member.
#include "automation/interface_tables.inc"

const ClassInfo& ParserClass() {
  return kClasses[0];
}
const ClassInfo& TableClass() {
  return kClasses[1];
}
const ClassInfo& FtpClass() {
  return kClasses[2];
}
const ClassInfo& QueueClass() {
  return kClasses[3];
}
const ClassInfo& StackClass() {
  return kClasses[4];
}
const ClassInfo& KeyListClass() {
  return kClasses[5];
}

std::optional<Guid> ParseGuid(std::string_view text) {
  return ParseGuidText(text);
}

std::string GuidToString(const Guid& guid) {
  char text[39];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0],
                guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
                guid.Data4[6], guid.Data4[7]);
  return text;
}

const ClassInfo* FindClassByProgId(std::string_view prog_id) {
  const std::string wanted = AnsiUpperCase(prog_id);
  for (const ClassInfo& c : kTypeLibrary.Classes)
    if (AnsiUpperCase(c.ProgId) == wanted) return &c;
  return nullptr;
}

const ClassInfo* FindClassByClsid(const Guid& clsid) {
  for (const ClassInfo& c : kTypeLibrary.Classes)
    if (c.Clsid == clsid) return &c;
  return nullptr;
}

}  // namespace voziroz
