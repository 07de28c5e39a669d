#include "profile/LogonName.h"

namespace wm {

const char* SystemAccountName(const std::string& sid) {
  static const struct {
    const char* sid;
    const char* name;
  } kAccounts[] = {
      {"S-1-5-18", "SYSTEM"},
      {"S-1-5-19", "LOCAL SERVICE"},
      {"S-1-5-20", "NETWORK SERVICE"},
  };
  for (const auto& account : kAccounts) {
    if (sid == account.sid) {
      return account.name;
    }
  }
  return nullptr;
}

}  // namespace wm
