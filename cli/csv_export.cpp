#include "cli/csv_export.h"

#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <charconv>
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

void AppendText(std::string_view utf8, std::string& out) {
  if (utf8.empty()) {
    out += "\"\"";
    return;
  }
  if (!NeedsQuotes(utf8)) {
    out += utf8;
    return;
  }
  out += '"';
  for (std::size_t start = 0;;) {
    const std::size_t quote = utf8.find('"', start);
    out += utf8.substr(start, quote == std::string_view::npos ? quote : quote + 1 - start);
    if (quote == std::string_view::npos) break;
    out += '"';
    start = quote + 1;
  }
  out += '"';
}

void AppendCell(const ExportCell& cell, std::string& out, std::string& buffer) {
  switch (cell.kind) {
    case ExportCell::Kind::Null:
      return;
    case ExportCell::Kind::Integer: {
      char digits[12];
      const auto end = std::to_chars(digits, digits + sizeof digits, cell.integer).ptr;
      out.append(digits, end);
      return;
    }
    case ExportCell::Kind::Text:
      return AppendText(Utf8Of(cell.ansi, buffer), out);
  }
}

void WriteTable(const ExportTable& table, AtomicFile& file, ExportProgress& progress) {
  std::string out;
  out.reserve(2 * kChunk);
  for (const ExportColumn& column : table.Columns()) {
    if (&column != &table.Columns().front()) out += ',';
    AppendText(column.Name, out);
  }
  out += "\r\n";
  std::vector<ExportCell> cells(table.Columns().size());
  std::string buffer;
  const std::int64_t row_count = table.RowCount();
  for (std::int64_t row = 0; row < row_count; ++row) {
    table.ReadRow(row, cells);
    for (std::size_t c = 0; c < cells.size(); ++c) {
      if (c > 0) out += ',';
      AppendCell(cells[c], out, buffer);
    }
    out += "\r\n";
    if (out.size() >= kChunk) {
      file.Write(out.data(), out.size());
      out.clear();
    }
    progress.AddRows(1);
  }
  file.Write(out.data(), out.size());
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
