// Without a platform code page the single-byte code page is Windows-1252.
#include "engine/code_page.h"

namespace voziroz {

CodePage TheCodePage() {
  static const CodePage page =
      TheCodePageSetting() == CodePageSetting::Utf8 ? CodePage::Utf8 : CodePage::SingleByte;
  return page;
}

const AnsiCodePage& TheAnsiCodePage() {
  return Windows1252CodePage();
}

}  // namespace voziroz
