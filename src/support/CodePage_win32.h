// Windows only: conversions between the system's wide characters, UTF-8 (the
// text as given, see CodePage.h) and 8-bit code pages.
#pragma once

#include <string>
#include <string_view>

#include "support/CodePage.h"

namespace wm {

std::string Utf8FromWide(std::wstring_view wide);
// Text in a code page (CP_UTF8, CP_ACP, 1252, ...) as wide characters.
std::wstring WideFromCodePage(unsigned codePage, std::string_view text);
// The text in the ANSI code page, with "?" for what it cannot hold, and
// whether it converts back unchanged. Holds for every code page, UTF-8 and
// the double-byte ones included.
AnsiText AnsiFromWide(std::wstring_view wide);

}  // namespace wm
