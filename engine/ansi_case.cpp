#include "engine/ansi_case.h"

#include "engine/code_page.h"

namespace voziroz {

char AnsiUpper(char c) {
  return TheAnsiCodePage().upper[static_cast<unsigned char>(c)];
}

char AnsiLower(char c) {
  return TheAnsiCodePage().lower[static_cast<unsigned char>(c)];
}

std::string AnsiUpperCase(std::string_view text) {
  const AnsiCodePage& page = TheAnsiCodePage();
  std::string out(text);
  for (char& c : out) c = page.upper[static_cast<unsigned char>(c)];
  return out;
}

std::string AnsiLowerCase(std::string_view text) {
  const AnsiCodePage& page = TheAnsiCodePage();
  std::string out(text);
  for (char& c : out) c = page.lower[static_cast<unsigned char>(c)];
  return out;
}

}  // namespace voziroz
