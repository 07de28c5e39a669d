#include "support/CurrentUser.h"

#include <unistd.h>

#include "support/PasswordDatabase_posix.h"

namespace wm {

Result<std::string> CurrentLogonName() {
  std::optional<PasswordEntry> entry = EffectiveUserEntry();
  if (!entry) {
    return Status::Failure("the password database has no entry for the user ID " +
                           std::to_string(::geteuid()));
  }
  return entry->name;
}

Result<std::string> CurrentUserSid() {
  return std::string();
}

}  // namespace wm
