#include "testlib/RegistryProbe.h"

#include <algorithm>
#include <vector>

#include <windows.h>

#include <gtest/gtest.h>

namespace wmtest {

namespace {

const char* const kOffice = "Software\\Microsoft\\Office";

// Removes every version key the system writes to, and Office itself when
// nothing else is left in it, and the tests' own key. The registry persists
// in the prefix.
void RemoveTestKeys() {
  RegDeleteTreeA(HKEY_CURRENT_USER, RegistryProbe::kTestKey);
  RegDeleteKeyA(HKEY_CURRENT_USER, RegistryProbe::kTestKey);
  for (const char* version : kOfficeVersions) {
    std::string key = std::string(kOffice) + "\\" + version;
    LONG result = RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
    if (result == ERROR_SUCCESS) {
      result = RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
    }
    EXPECT_TRUE(result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND)
        << "cannot remove " << key << ": error " << result;
  }
  RegDeleteKeyA(HKEY_CURRENT_USER, kOffice);
}

class Key {
 public:
  Key() = default;
  ~Key() {
    if (key_ != nullptr) {
      RegCloseKey(key_);
    }
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKEY* receive() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

void CreateKey(const std::string& keyPath, DWORD options, Key& key) {
  DWORD disposition = 0;
  LONG result = RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, options,
                                KEY_ALL_ACCESS, nullptr, key.receive(), &disposition);
  ASSERT_EQ(result, ERROR_SUCCESS) << "cannot create " << keyPath;
}

}  // namespace

struct RegistryProbe::State {};

RegistryProbe::RegistryProbe() : state_(std::make_unique<State>()) {
  RemoveTestKeys();
}

RegistryProbe::RegistryProbe(const std::string&) : RegistryProbe() {}

RegistryProbe::~RegistryProbe() {
  RemoveTestKeys();
}

std::unique_ptr<wm::Registry> RegistryProbe::Open() const {
  return wm::OpenCurrentUserRegistry("");
}

std::vector<std::string> RegistryProbe::Subkeys(const std::string& keyPath) const {
  std::vector<std::string> names;
  Key key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, key.receive()) ==
      ERROR_SUCCESS) {
    char name[256];
    for (DWORD index = 0;; ++index) {
      DWORD length = sizeof name;
      if (RegEnumKeyExA(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS) {
        break;
      }
      names.emplace_back(name, length);
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> RegistryProbe::StoreEntries() const {
  return {};
}

bool RegistryProbe::KeyExists(const std::string& keyPath) const {
  Key key;
  return RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, key.receive()) ==
         ERROR_SUCCESS;
}

std::map<std::string, RegistryValue> RegistryProbe::Values(const std::string& keyPath) const {
  std::map<std::string, RegistryValue> values;
  Key key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, key.receive()) !=
      ERROR_SUCCESS) {
    return values;
  }
  for (DWORD index = 0;; ++index) {
    char name[16384];
    DWORD nameLength = sizeof name;
    std::vector<BYTE> data(65536);
    DWORD dataLength = static_cast<DWORD>(data.size());
    DWORD type = 0;
    LONG result = RegEnumValueA(key.get(), index, name, &nameLength, nullptr, &type, data.data(),
                                &dataLength);
    if (result == ERROR_NO_MORE_ITEMS) {
      break;
    }
    EXPECT_EQ(result, ERROR_SUCCESS) << "cannot read the values of " << keyPath;
    if (result != ERROR_SUCCESS) {
      break;
    }
    values[std::string(name, nameLength)] =
        RegistryValue{type, std::string(reinterpret_cast<const char*>(data.data()), dataLength)};
  }
  return values;
}

void RegistryProbe::SetValue(const std::string& keyPath, const std::string& name,
                             const RegistryValue& value) {
  Key key;
  CreateKey(keyPath, REG_OPTION_NON_VOLATILE, key);
  ASSERT_EQ(RegSetValueExA(key.get(), name.c_str(), 0, value.type,
                           reinterpret_cast<const BYTE*>(value.data.data()),
                           static_cast<DWORD>(value.data.size())),
            ERROR_SUCCESS);
}

void RegistryProbe::BlockKey(const std::string& keyPath) {
  // A volatile key cannot hold a normal one. Its parent must exist as a
  // normal key first, or creating it volatile makes the whole path volatile.
  Key parent;
  CreateKey(keyPath.substr(0, keyPath.rfind('\\')), REG_OPTION_NON_VOLATILE, parent);
  Key blocked;
  CreateKey(keyPath, REG_OPTION_VOLATILE, blocked);
}

}  // namespace wmtest
