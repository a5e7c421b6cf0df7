// Text from scripts, and the file names in it.
//
// A script's string (UTF-16) becomes a Text in the engine's code page. When the code page cannot
// hold all of it, the Text also keeps the exact string in UTF-8, so that a file name reaches the
// operating system whole (engine/file_name.h) while every other use sees the code page's text.
// Keeping it costs nothing for text the code page holds.
#pragma once

#include <string>
#include <string_view>

#include "automation/variant.h"

namespace voziroz {

// A Text of `utf16`; with its exact string when the code page's form loses characters of it.
// Throws only std::bad_alloc.
Variant ScriptText(std::u16string_view utf16);

// The file name a value stands for, in UTF-8: a Text's exact string, else its text in UTF-8 (so a
// number names the file of its decimal text). Fails as TryToText does, for the same values.
Conversion TryToFileName(const Variant& value, std::string& utf8);
// Throws the AutomationError of ToText when the value is no text.
std::string ToFileName(const Variant& value);

}  // namespace voziroz
