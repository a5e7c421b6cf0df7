#include "engine/gedcom_reader.h"

#include <exception>

#include "engine/ansel.h"
#include "engine/file_read.h"
#include "engine/windows1252.h"

namespace voziroz {
namespace {

bool StartsWith(std::string_view bytes, std::string_view prefix) {
  return bytes.substr(0, prefix.size()) == prefix;
}

// A file without a mark that says it is UTF-8 and is valid UTF-8 throughout.
bool IsDeclaredUtf8(std::string_view raw) {
  return raw.substr(0, kDeclarationWindow).find("1 CHAR UTF-8") != std::string_view::npos &&
         IsValidUtf8(raw);
}

// Decodes a Unicode text into a fresh buffer with room for `bound` bytes plus a line break.
template <typename Decode>
TextBuffer DecodeUnicode(std::size_t bound, Decode decode) {
  TextBuffer text;
  text.Reserve(bound + 2);
  decode(text);
  return text;
}

void EndWithLineBreak(TextBuffer& text) {
  if (text.empty()) {
    text.Append(kFallbackText);
    return;
  }
  char last = text.data()[text.size() - 1];
  if (last != '\r' && last != '\n') text.Append("\r\n");
}

// In the UTF-8 code page: valid UTF-8 as it is (declared or not), else ANSEL when declared, else
// each byte as its Windows-1252 character.
TextBuffer DecodeWithoutMarkToUtf8(TextBuffer bytes, std::string_view raw) {
  if (IsValidUtf8(raw)) {
    bytes.Resize(raw.size());
    return bytes;
  }
  if (DeclaresAnsel(raw)) return AnselToUtf8(raw);
  return DecodeUnicode(raw.size(), [&](TextBuffer& t) { AppendWindows1252AsUtf8(raw, t); });
}

TextBuffer DecodeWithoutMark(TextBuffer bytes, CodePage page) {
  std::string_view raw = bytes.view();
  raw = raw.substr(0, raw.find('\0'));
  if (page == CodePage::Utf8) return DecodeWithoutMarkToUtf8(std::move(bytes), raw);
  if (IsDeclaredUtf8(raw)) {
    return DecodeUnicode(raw.size(), [&](TextBuffer& text) { AppendUtf8AsAnsi(raw, text, page); });
  }
  if (DeclaresAnsel(raw)) return AnselToAnsi(raw);
  bytes.Resize(raw.size());
  return bytes;
}

}  // namespace

TextBuffer DecodeFileBytes(TextBuffer bytes, CodePage page) {
  using namespace std::string_view_literals;
  std::string_view all = bytes.view();
  // In UTF-8 a UTF-16 unit gives up to three bytes of text, a UTF-32 unit up to four.
  const bool utf8 = page == CodePage::Utf8;
  TextBuffer text;
  if (StartsWith(all, "\xEF\xBB\xBF"sv)) {
    std::string_view rest = all.substr(3);
    text = DecodeUnicode(rest.size(), [&](TextBuffer& t) { AppendUtf8AsAnsi(rest, t, page); });
  } else if (StartsWith(all, "\0\0\xFE\xFF"sv)) {
    std::string_view rest = all.substr(4);
    text = DecodeUnicode(rest.size() / 4 * (utf8 ? 4 : 1),
                         [&](TextBuffer& t) { AppendUtf32BeAsAnsi(rest, t, page); });
  } else if (StartsWith(all, "\xFF\xFE"sv) || StartsWith(all, "\xFE\xFF"sv)) {
    std::string_view rest = all.substr(2);
    bool big_endian = all[0] == '\xFE';
    text = DecodeUnicode(rest.size() / 2 * (utf8 ? 3 : 1),
                         [&](TextBuffer& t) { AppendUtf16AsAnsi(rest, big_endian, t, page); });
  } else if (StartsWith(all, "0\0"sv) || StartsWith(all,
                                                    "\0"
                                                    "0"sv)) {
    bool big_endian = all[0] == '\0';  // unmarked UTF-16: the first line's level digit tells
    text = DecodeUnicode(all.size() / 2 * (utf8 ? 3 : 1),
                         [&](TextBuffer& t) { AppendUtf16AsAnsi(all, big_endian, t, page); });
  } else {
    text = DecodeWithoutMark(std::move(bytes), page);
  }
  EndWithLineBreak(text);
  return text;
}

LoadedText LoadFileText(const std::string& file_name, CodePage page) {
  LoadedText result;
  try {
    TextBuffer bytes;
    result.Readable = ReadWholeFile(file_name, bytes);
    if (!result.Readable) bytes.Clear();
    result.Text = DecodeFileBytes(std::move(bytes), page);
  } catch (const std::exception&) {  // out of memory: treated as a file that cannot be read
    result.Readable = false;
    result.Text = TextBuffer(kFallbackText);
  }
  return result;
}

}  // namespace voziroz
