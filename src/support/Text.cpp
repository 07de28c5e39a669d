#include "support/Text.h"

namespace wm {

namespace {
bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}
}  // namespace

std::string Trim(std::string_view text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && IsBlank(text[first])) {
    ++first;
  }
  while (last > first && IsBlank(text[last - 1])) {
    --last;
  }
  return std::string(text.substr(first, last - first));
}

std::string UpperCase(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
  }
  return result;
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

std::string Printable(std::string_view text) {
  std::string shown(text);
  for (char& c : shown) {
    unsigned char code = static_cast<unsigned char>(c);
    if (code < 32 || code == 127) {
      c = '?';
    }
  }
  return shown;
}

}  // namespace wm
