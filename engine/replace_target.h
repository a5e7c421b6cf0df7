// The one rule for every writer that renames a finished temporary file over its target (the
// export files, the registry file, FTP downloads): what may be replaced, and where the link
// leads (replace_target_posix.cpp on Linux, replace_target_windows.cpp on Windows).
//
// A target that does not exist, or a regular file, may be replaced. A symbolic link is followed
// to the file it names (which need not exist yet): that file is replaced, the link stays, and
// the temporary file belongs beside it. Anything else that exists (a device, a FIFO, a folder,
// a socket) is refused, so a rename never swaps it for a file. Writers resolve the target before
// they create their temporary file and check it again just before the rename.
#pragma once

#include <string>

namespace voziroz {

struct ReplaceTarget {
  std::string Path;     // the file to replace: the target, or the end of its links
  std::string Refusal;  // empty when Path may be replaced; else the reason, for a message
};

// `target` and Path are UTF-8 text (engine/file_name.h). A target whose state cannot be read (no
// access) is returned as it is, for the rename to report; so is one holding NUL, which every file
// function refuses. Throws only std::bad_alloc.
ReplaceTarget ResolveReplaceTarget(const std::string& target);

}  // namespace voziroz
