// Reads and prepares the current user's registry directly, without the
// system's own registry layer: on Windows through plain advapi32 calls, on
// Linux through the files of the store (its format is described in
// Registry_posix.cpp; read here by code of its own).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "profile/ImportRegistration.h"
#include "profile/Registry.h"

namespace wmtest {

constexpr unsigned long kRegSz = 1;
constexpr unsigned long kRegBinary = 3;
constexpr unsigned long kRegDword = 4;

struct RegistryValue {
  unsigned long type = 0;
  std::string data;  // the bytes as stored, for REG_SZ with the terminating NUL
  bool operator==(const RegistryValue& other) const {
    return type == other.type && data == other.data;
  }
};

// A REG_SZ value: the text and its terminating NUL.
inline RegistryValue Sz(const std::string& text) {
  return RegistryValue{kRegSz, text + std::string(1, '\0')};
}

// The Office versions the program registers with (ImportRegistration.h), and
// where it writes each one's values.
using wm::kOfficeVersions;
inline std::string SetupKey(const std::string& version) {
  return "Software\\Microsoft\\Office\\" + version + "\\Outlook\\Setup";
}

// Key paths are relative to HKEY_CURRENT_USER, parts separated by "\".
// Creating a probe starts the test from a registry without Office keys (on
// Linux: a fresh, empty store in a temporary folder, which Open() opens);
// destroying it removes the Office keys (and on Windows the test key below)
// again, so that nothing is left for the next test.
class RegistryProbe {
 public:
  RegistryProbe();
  // Linux: the store in this folder (a program's own) instead of a fresh
  // one; Windows: the same as the default.
  explicit RegistryProbe(const std::string& storeFolder);
  ~RegistryProbe();
  RegistryProbe(const RegistryProbe&) = delete;
  RegistryProbe& operator=(const RegistryProbe&) = delete;

  // The registry under test, our own layer, on the probe's registry.
  std::unique_ptr<wm::Registry> Open() const;

  // A key below HKEY_CURRENT_USER that tests may use as they like; removed
  // with everything in it when the probe goes.
  static constexpr const char* kTestKey = "Software\\Wendelmarquistone Tests";

  bool KeyExists(const std::string& keyPath) const;
  // The names of the key's subkeys, sorted.
  std::vector<std::string> Subkeys(const std::string& keyPath) const;
  // Every value of the key, by name; empty for a missing key.
  std::map<std::string, RegistryValue> Values(const std::string& keyPath) const;
  // Creates the key if needed and sets the value.
  void SetValue(const std::string& keyPath, const std::string& name, const RegistryValue& value);
  // Makes the creation of any key below keyPath fail for real: on Windows
  // keyPath becomes a volatile key (its parent is made a normal key first),
  // which cannot hold normal keys; on Linux a plain file takes the place of
  // keyPath's folder.
  void BlockKey(const std::string& keyPath);

  // Linux: every file and folder in the probe's folder, as paths relative to
  // it, sorted (the store must keep to its folder); Windows: nothing.
  std::vector<std::string> StoreEntries() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace wmtest
