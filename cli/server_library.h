// The server library that belongs to this tool, and its objects reached through the C interface
// without a registration, as a script host reaches them.
#pragma once

#include <string>

#include "cli/script_object.h"

namespace voziroz::cli {

// The server library installed (or built) beside this tool; throws ScriptError when there is
// none.
std::string ServerBesideTool();

// A new object of class `clsid` from the server beside the tool, as IDispatch.
ScriptObject CreateFromServer(const CLSID& clsid);

}  // namespace voziroz::cli
