#include "cli/csv_export.h"

#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "cli/atomic_file.h"

namespace voziroz::cli {
namespace {

constexpr std::size_t kChunk = 1 << 20;

// The bytes that make a field need quotes: comma, double quote, CR and LF.
constexpr std::array<bool, 256> kQuoteBytes = [] {
  std::array<bool, 256> bytes{};
  for (unsigned char c : {',', '"', '\r', '\n'}) bytes[c] = true;
  return bytes;
}();

bool NeedsQuotes(std::string_view text) {
  for (char c : text)
    if (kQuoteBytes[static_cast<unsigned char>(c)]) return true;
  return false;
}

// Bytes written straight into a buffer that goes to the file a chunk at a time.
class CsvOutput {
 public:
  explicit CsvOutput(AtomicFile& file) : file_(file), bytes_(2 * kChunk) {}
  // Room for `size` more bytes; write there, then Advance.
  char* Room(std::size_t size) {
    if (used_ + size > bytes_.size()) {
      Flush();
      if (size > bytes_.size()) bytes_.resize(size);
    }
    return bytes_.data() + used_;
  }
  void Advance(char* end) {
    used_ = static_cast<std::size_t>(end - bytes_.data());
    if (used_ >= kChunk) Flush();
  }
  void Flush() {
    file_.Write(bytes_.data(), used_);
    used_ = 0;
  }

 private:
  AtomicFile& file_;
  std::vector<char> bytes_;
  std::size_t used_ = 0;
};

// True when `text` is plain ASCII without a comma, quote, CR or LF: written as it is. Eight
// bytes at a time, since nearly every cell is such text.
bool IsPlainField(std::string_view text) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHigh = 0x8080808080808080u;
  // Nonzero when some byte of `word` is zero.
  const auto zero_byte = [](std::uint64_t word) { return (word - kOnes) & ~word & kHigh; };
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    if ((word & kHigh) | zero_byte(word ^ (kOnes * ',')) | zero_byte(word ^ (kOnes * '"')) |
        zero_byte(word ^ (kOnes * '\r')) | zero_byte(word ^ (kOnes * '\n')))
      return false;
  }
  for (; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80 || kQuoteBytes[c]) return false;
  }
  return true;
}

// `utf8` in double quotes, a quote inside doubled; `out` has room for 2 * size + 2 bytes.
char* WriteQuoted(std::string_view utf8, char* out) {
  *out++ = '"';
  for (char c : utf8) {
    *out++ = c;
    if (c == '"') *out++ = '"';
  }
  *out++ = '"';
  return out;
}

// Text as a field: empty text as "", plain text as it is, any other in quotes when it holds a
// comma, quote or line break, converted to UTF-8 first when it is not ASCII.
void WriteText(std::string_view ansi, CsvOutput& out, std::string& buffer) {
  if (!ansi.empty() && IsPlainField(ansi)) {
    char* room = out.Room(ansi.size());
    std::memcpy(room, ansi.data(), ansi.size());
    out.Advance(room + ansi.size());
    return;
  }
  const std::string_view utf8 = Utf8Of(ansi, buffer);
  char* room = out.Room(2 * utf8.size() + 2);
  if (utf8.empty() || NeedsQuotes(utf8)) {
    out.Advance(WriteQuoted(utf8, room));
  } else {
    std::memcpy(room, utf8.data(), utf8.size());
    out.Advance(room + utf8.size());
  }
}

void WriteCell(const ExportCell& cell, CsvOutput& out, std::string& buffer) {
  switch (cell.kind) {
    case ExportCell::Kind::Null:
      return;
    case ExportCell::Kind::Integer: {
      char* room = out.Room(11);
      out.Advance(std::to_chars(room, room + 11, cell.integer).ptr);
      return;
    }
    case ExportCell::Kind::Text:
      return WriteText(cell.ansi, out, buffer);
  }
}

void WriteByte(char c, CsvOutput& out) {
  char* room = out.Room(1);
  *room = c;
  out.Advance(room + 1);
}

void WriteRecordEnd(CsvOutput& out) {
  char* room = out.Room(2);
  room[0] = '\r';
  room[1] = '\n';
  out.Advance(room + 2);
}

void WriteTable(const ExportTable& table, AtomicFile& file, ExportProgress& progress) {
  CsvOutput out(file);
  std::string buffer;
  for (const ExportColumn& column : table.Columns()) {
    if (&column != &table.Columns().front()) WriteByte(',', out);
    WriteText(column.Name, out, buffer);
  }
  WriteRecordEnd(out);
  std::vector<ExportCell> cells(table.Columns().size());
  const std::int64_t row_count = table.RowCount();
  for (std::int64_t row = 0; row < row_count; ++row) {
    table.ReadRow(row, cells);
    for (std::size_t c = 0; c < cells.size(); ++c) {
      if (c > 0) WriteByte(',', out);
      WriteCell(cells[c], out, buffer);
    }
    WriteRecordEnd(out);
    progress.AddRows(1);
  }
  out.Flush();
}

void MakeFolder(const std::string& folder) {
  if (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST)
    throw ExportError("cannot make the folder '" + folder + "': " + std::strerror(errno));
  struct stat info {};
  if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
    throw ExportError("'" + folder + "' is not a folder");
}

}  // namespace

void ExportToCsv(const ExportTables& tables, const std::string& folder, ExportProgress& progress) {
  MakeFolder(folder);
  std::vector<std::unique_ptr<AtomicFile>> files;
  for (const auto& table : tables) {
    files.push_back(std::make_unique<AtomicFile>(folder + "/" + table->Name() + ".csv"));
    WriteTable(*table, *files.back(), progress);
  }
  progress.Phase("syncing");
  for (const auto& file : files) file->Sync();
  for (const auto& file : files) file->Commit();
}

}  // namespace voziroz::cli
