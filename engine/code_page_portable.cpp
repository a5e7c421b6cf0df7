// Without a platform code page the engine's text is Windows-1252.
#include "engine/code_page.h"

namespace voziroz {

const AnsiCodePage& TheAnsiCodePage() {
  return Windows1252CodePage();
}

}  // namespace voziroz
