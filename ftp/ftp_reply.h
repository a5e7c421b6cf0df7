// What every FTP transport checks and reads the same way: the texts it may send, and the
// server's replies and FEAT list.
#pragma once

#include <optional>
#include <string_view>

#include "ftp/ftpx.h"

namespace voziroz::ftpx {

// True when the text holds CR, LF or NUL: sent, it could smuggle in a second command.
bool HasLineBreakOrNul(std::string_view text);

// True for a name a transfer may take: not empty, not ending with '/' (that would be a folder)
// and free of line breaks and NUL.
bool IsFileName(std::string_view name);

// The reply is every line received, each ended by '\n'; its code is that of the last final
// line ("ddd text"). Empty when no line is final.
std::optional<Reply> ParseReply(std::string_view received);

// True when a line of the FEAT reply `features` names `feature` (its first word, any case).
bool FeaturesOffer(std::string_view features, std::string_view feature);

}  // namespace voziroz::ftpx
