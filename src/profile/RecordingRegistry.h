// A registry that records every call, in order, and fails where told to.
// Test code only.
#pragma once

#include <string>
#include <vector>

#include "profile/Registry.h"

namespace wmtest {

class RecordingRegistry final : public wm::Registry {
 public:
  // Each call is recorded as one of: "create <key>", "delete <name>",
  // "set <name>=<value>", "close".
  std::vector<std::string> calls;
  // A call whose record equals this one fails.
  std::string failOn;
  // Every deletion fails, as it does for a value that is not there.
  bool failDeletions = false;
  // Whether a key is open now.
  bool keyOpen = false;

  wm::Status CreateKey(const std::string& keyPath) override {
    keyOpen = false;
    if (Record("create " + keyPath)) {
      keyOpen = true;
      return wm::Status::Ok();
    }
    return wm::Status::Failure("creating key " + keyPath + " failed: told to fail");
  }
  wm::Status DeleteValue(const std::string& name) override {
    if (Record("delete " + name) && !failDeletions && keyOpen) {
      return wm::Status::Ok();
    }
    return wm::Status::Failure("deleting value " + name + " failed: told to fail");
  }
  wm::Status SetStringValue(const std::string& name, const std::string& value) override {
    if (Record("set " + name + "=" + value) && keyOpen) {
      return wm::Status::Ok();
    }
    return wm::Status::Failure("setting value " + name + " failed: told to fail");
  }
  void CloseKey() override {
    calls.push_back("close");
    keyOpen = false;
  }

 private:
  bool Record(const std::string& call) {
    calls.push_back(call);
    return call != failOn;
  }
};

}  // namespace wmtest
