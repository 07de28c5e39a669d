#include "support/CodePage.h"

namespace wm {

// Linux passes bytes through: the locale's text is both the text as given
// and the text every file and registry value holds.
AnsiText AnsiFromGiven(std::string_view given) {
  return AnsiText{std::string(given), true};
}

std::string GivenFromAnsi(std::string_view ansi) {
  return std::string(ansi);
}

}  // namespace wm
