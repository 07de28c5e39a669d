#include "profile/LogonName.h"

#include "support/PasswordDatabase_posix.h"

namespace wm {

std::string CurrentLogonName() {
  std::optional<PasswordEntry> entry = EffectiveUserEntry();
  return entry ? entry->name : std::string();
}

std::string CurrentUserSid() {
  return std::string();
}

}  // namespace wm
