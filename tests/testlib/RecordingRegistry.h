// A registry that records every call, in order, and fails where told to, in
// the words the real registries use (Registry.h), with "told to fail" as the
// reason.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "profile/Registry.h"
#include "testlib/TestSupport.h"

namespace wmtest {

class RecordingRegistry final : public wm::Registry {
 public:
  // Each call is recorded as one of: "create <key>", "delete <name>",
  // "set <name>=<value>", "close".
  std::vector<std::string> calls;
  // A call whose record equals this one fails.
  std::string failOn;
  // Whether a key is open now.
  bool keyOpen = false;

  wm::Status CreateKey(const std::string& keyPath) override {
    CloseOpenKey();
    if (!Record("create " + keyPath)) {
      return wm::CreateKeyFailure(keyPath, kReason);
    }
    keyOpen = true;
    keyPath_ = keyPath;
    return wm::Status::Ok();
  }
  wm::Status DeleteValue(const std::string& name) override {
    bool told = !Record("delete " + name);
    if (!keyOpen) {
      return wm::NoOpenKeyFailure("deleting", name);
    }
    if (told) {
      return wm::ValueFailure("deleting", keyPath_, name, kReason);
    }
    return wm::Status::Ok();
  }
  // No earlier values: a read is not recorded.
  wm::Result<std::optional<std::string>> StringValue(const std::string& /*name*/) override {
    return std::optional<std::string>();
  }
  wm::Status SetStringValue(const std::string& name, const std::string& value) override {
    bool told = !Record("set " + name + "=" + value);
    if (!keyOpen) {
      return wm::NoOpenKeyFailure("setting", name);
    }
    if (told) {
      return wm::ValueFailure("setting", keyPath_, name, kReason);
    }
    return wm::Status::Ok();
  }
  void CloseKey() override {
    calls.push_back("close");
    CloseOpenKey();
  }

  static constexpr const char* kReason = "told to fail";

 private:
  bool Record(const std::string& call) {
    calls.push_back(call);
    return call != failOn;
  }
  void CloseOpenKey() {
    keyOpen = false;
    keyPath_.clear();
  }
  std::string keyPath_;
};

// The calls of a successful registration of the profile at this path, as
// recorded above (the expected text registry-calls.txt, "<prf>" standing for
// the path).
inline std::vector<std::string> RegisteredCalls(const std::string& PrfPath) {
  std::vector<std::string> calls;
  std::istringstream lines(ExpectedText("registry-calls.txt"));
  for (std::string line; std::getline(lines, line);) {
    size_t at = line.find("<prf>");
    calls.push_back(at == std::string::npos ? line : line.replace(at, 5, PrfPath));
  }
  return calls;
}

}  // namespace wmtest
