#include "main/ProgramArguments.h"

namespace wm {

namespace {
bool IsSeparator(char c) {
  unsigned char code = static_cast<unsigned char>(c);
  return code >= 1 && code <= 32;
}
}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> arguments;
  std::string current;
  bool quoted = false;
  for (char c : line) {
    if (c == '\0') {
      break;
    }
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && IsSeparator(c)) {
      if (!current.empty()) {
        arguments.push_back(std::move(current));
        current.clear();
      }
    } else {
      current += c;
    }
  }
  if (!current.empty()) {
    arguments.push_back(std::move(current));
  }
  return arguments;
}

std::string_view SkipProgramName(std::string_view line) {
  size_t i = 0;
  while (i < line.size() && IsSeparator(line[i])) {
    ++i;
  }
  bool quoted = false;
  for (; i < line.size(); ++i) {
    if (line[i] == '"') {
      quoted = !quoted;
    } else if (!quoted && IsSeparator(line[i])) {
      break;
    }
  }
  return line.substr(i);
}

}  // namespace wm
