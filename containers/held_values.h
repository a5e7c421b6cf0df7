// How KeyList, Queue and Stack hold values and let go of them.
//
// A container stores its own copy of each value: text is the container's own; arrays are never
// changed once inside a value, so sharing one is a copy to every observer; objects are shared and
// kept alive by the container. A value a script passes by reference arrives already read (the copy
// of the value it referred to at the call), so nothing stored points back into the script.
//
// A held value may be the last reference to another container (or to an array holding one), and
// that container's values may hold yet another: a script can nest containers as deep as it likes.
// Releasing such a chain by plain destruction would recurse once per level and overflow the
// stack, so every value a container drops goes through ReleaseValue, which releases nested
// values one after another instead of inside one another.
#pragma once

#include "automation/variant.h"

namespace voziroz {

// Releases `value` now, or, while another release is in progress on this thread, as soon as
// that release returns to the outermost ReleaseValue.
void ReleaseValue(Variant&& value);

}  // namespace voziroz
