#include "support/PasswordDatabase_posix.h"

#include <cerrno>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace wm {

std::optional<PasswordEntry> EffectiveUserEntry() {
  long suggested = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(suggested > 0 ? static_cast<size_t>(suggested) : 1024);
  for (;;) {
    struct passwd entry;
    struct passwd* found = nullptr;
    int error = getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found);
    if (error == ERANGE && buffer.size() < (1u << 20)) {
      buffer.resize(buffer.size() * 2);
      continue;
    }
    if (error != 0 || found == nullptr) {
      return std::nullopt;
    }
    return PasswordEntry{found->pw_name != nullptr ? found->pw_name : "",
                         found->pw_dir != nullptr ? found->pw_dir : ""};
  }
}

}  // namespace wm
