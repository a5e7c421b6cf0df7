#include "engine/ansi_case.h"

#include "engine/code_page.h"

namespace voziroz {
namespace {

// `text` with every byte replaced by its entry in `table`.
std::string Mapped(std::string_view text, const std::array<char, 256>& table) {
  std::string out(text);
  for (char& c : out) c = table[static_cast<unsigned char>(c)];
  return out;
}

}  // namespace

char AnsiUpper(char c) {
  return TheAnsiCodePage().upper[static_cast<unsigned char>(c)];
}

char AnsiLower(char c) {
  return TheAnsiCodePage().lower[static_cast<unsigned char>(c)];
}

std::string AnsiUpperCase(std::string_view text) {
  return Mapped(text, TheAnsiCodePage().upper);
}

std::string AnsiLowerCase(std::string_view text) {
  return Mapped(text, TheAnsiCodePage().lower);
}

}  // namespace voziroz
