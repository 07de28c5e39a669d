#include "support/CurrentUser.h"

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

Status CheckAccount(const Result<std::string>& sid) {
  if (!sid) {
    return Status::Failure(
        FailureClass::SystemAccount,
        "Cannot tell whether the tool runs as a system account: " + sid.status().message());
  }
  if (const char* account = SystemAccountName(sid.value())) {
    return Status::Failure(
        FailureClass::SystemAccount,
        std::string("The tool runs as the system account ") + account + " (" + sid.value() +
            "), whose profile no user sees: run it as the user, from the user's logon script, "
            "not from a computer startup script or a system task");
  }
  return Status::Ok();
}

}  // namespace wm
