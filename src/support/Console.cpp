#include "support/Console.h"

#include <string>

namespace wm {

Status WriteLine(std::string_view line) {
  std::string bytes(line);
  bytes += "\r\n";
  return WriteOutput(bytes);
}

}  // namespace wm
