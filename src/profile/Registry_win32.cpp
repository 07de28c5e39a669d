#include "profile/Registry.h"

#include <windows.h>

#include <vector>

#include "support/SystemError.h"

namespace wm {

namespace {

class CurrentUserRegistry final : public Registry {
 public:
  CurrentUserRegistry() = default;
  ~CurrentUserRegistry() override { CloseKey(); }
  CurrentUserRegistry(const CurrentUserRegistry&) = delete;
  CurrentUserRegistry& operator=(const CurrentUserRegistry&) = delete;

  Status CreateKey(const std::string& keyPath) override {
    CloseKey();
    HKEY key = nullptr;
    DWORD disposition = 0;
    LONG result =
        RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, &disposition);
    if (result != ERROR_SUCCESS) {
      return CreateKeyFailure(keyPath, SystemErrorMessage(static_cast<unsigned long>(result)));
    }
    key_ = key;
    keyPath_ = keyPath;
    created_ = disposition == REG_CREATED_NEW_KEY;
    return Status::Ok();
  }

  Status DeleteValue(const std::string& name) override {
    if (key_ == nullptr) {
      return NoOpenKeyFailure("deleting", name);
    }
    LONG result = RegDeleteValueA(key_, name.c_str());
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) {
      return ValueFailure("deleting", keyPath_, name,
                          SystemErrorMessage(static_cast<unsigned long>(result)));
    }
    return Status::Ok();
  }

  Result<std::optional<std::string>> StringValue(const std::string& name) override {
    if (key_ == nullptr) {
      return NoOpenKeyFailure("reading", name);
    }
    if (created_) {
      return std::optional<std::string>();  // a key made just now has no values
    }
    // One call for a path's length; a longer value is read again at its size.
    std::vector<char> data(MAX_PATH + 1);
    DWORD type = 0;
    LONG result = ERROR_MORE_DATA;
    while (result == ERROR_MORE_DATA) {
      DWORD size = static_cast<DWORD>(data.size());
      result = RegQueryValueExA(key_, name.c_str(), nullptr, &type,
                                reinterpret_cast<BYTE*>(data.data()), &size);
      if (result == ERROR_MORE_DATA) {
        data.resize(size + 1);
      }
    }
    if (result == ERROR_FILE_NOT_FOUND) {
      return std::optional<std::string>();
    }
    if (result != ERROR_SUCCESS) {
      return ValueFailure("reading", keyPath_, name,
                          SystemErrorMessage(static_cast<unsigned long>(result)));
    }
    if (type != REG_SZ) {
      return ValueFailure("reading", keyPath_, name, kNotAString);
    }
    data.back() = '\0';  // data without its NUL still ends
    return std::optional<std::string>(data.data());
  }

  Status SetStringValue(const std::string& name, const std::string& value) override {
    if (key_ == nullptr) {
      return NoOpenKeyFailure("setting", name);
    }
    // REG_SZ data: the characters and the terminating NUL, counted in the size.
    LONG result =
        RegSetValueExA(key_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
    if (result != ERROR_SUCCESS) {
      return ValueFailure("setting", keyPath_, name,
                          SystemErrorMessage(static_cast<unsigned long>(result)));
    }
    return Status::Ok();
  }

  void CloseKey() override {
    if (key_ != nullptr) {
      RegCloseKey(key_);
      key_ = nullptr;
    }
    keyPath_.clear();
  }

 private:
  HKEY key_ = nullptr;
  std::string keyPath_;
  bool created_ = false;  // the open key was made by CreateKey
};

}  // namespace

std::unique_ptr<Registry> OpenCurrentUserRegistry(const std::string& /*applicationData*/) {
  return std::make_unique<CurrentUserRegistry>();
}

}  // namespace wm
