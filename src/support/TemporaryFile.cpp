#include "support/TemporaryFile.h"

#include <atomic>

namespace wm {

std::string CreateTemporaryBeside(const std::string& path, unsigned long processId,
                                  const std::function<CreateResult(const std::string&)>& create) {
  static std::atomic<unsigned> counter{0};
  const size_t nameStart = path.find_last_of("/\\") + 1;  // 0 when there is no folder
  const size_t length = path.size() - nameStart < 8 ? 8 : path.size() - nameStart;
  static const char kHex[] = "0123456789abcdef";
  for (int attempt = 0; attempt < 100; ++attempt) {
    // The counter in the last two digits, the process id before it; a short
    // name keeps the lowest digits.
    unsigned long long number =
        (static_cast<unsigned long long>(processId & 0xFFFFFFFFul) << 8) | (counter++ & 0xFFu);
    std::string name(length, '~');
    for (size_t i = length; i-- > 1; number >>= 4) {
      name[i] = kHex[number & 15];
    }
    switch (create(path.substr(0, nameStart) + name)) {
      case CreateResult::Created:
        return path.substr(0, nameStart) + name;
      case CreateResult::Failed:
        return std::string();
      case CreateResult::NameTaken:
        break;
    }
  }
  return std::string();
}

}  // namespace wm
