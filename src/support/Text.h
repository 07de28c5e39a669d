// String helpers shared by the argument line and the profile document. They
// work on bytes: on UTF-8 text as given as well as on text in the ANSI code
// page (support/CodePage.h), since only ASCII characters are looked at or
// changed; comparisons are byte-wise.
#pragma once

#include <string>
#include <string_view>

namespace wm {

// Removes leading and trailing characters of code 32 or less.
std::string Trim(std::string_view text);

// Maps the letters a to z to A to Z and changes nothing else.
std::string UpperCase(std::string_view text);

// True when the text holds a carriage return or a line feed.
bool HasLineBreak(std::string_view text);

// The text with every control character (codes 0 to 31 and 127) shown as
// "?", so that a word from the command line can stand in a one-line message.
std::string Printable(std::string_view text);

}  // namespace wm
