// Folder listings as FTP servers send them, read into entries: the machine-readable MLSD form
// and the two usual LIST forms (Unix "ls -l" and DOS/IIS). Lines in no known form are skipped,
// so a listing never fails, whatever it holds.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace voziroz::ftp {

struct ListEntry {
  std::string name;
  bool is_folder = false;
  std::uint64_t size = 0;  // of a file; 0 for a folder
};

// Entries of MLSD data (lines "fact=value;...; name"). The entries that stand for the listed
// folder itself and its parent (types cdir and pdir) are left out: they are not its content.
std::vector<ListEntry> ParseMlsd(std::string_view data);
// Entries of LIST data in the Unix or the DOS form, each line read on its own. A symbolic
// link is listed under its own name (the " -> target" part dropped) as a file.
std::vector<ListEntry> ParseList(std::string_view data);

// The line a script sees: "/" and the name for a folder, the name, a tab and the size for a file.
std::string ListLine(const ListEntry& entry);
// Sorts case-insensitively by the code page's case rules (engine/ansi_case.h); lines equal but
// for case keep byte order.
void SortIgnoringCase(std::vector<std::string>& lines);

}  // namespace voziroz::ftp
