// The current user's part of the registry (HKEY_CURRENT_USER), as far as the
// import registration needs it: one key open at a time, values deleted and
// string values set in it.
//
// On Windows this is the real registry. On Linux a small store of our own
// stands in for it, in the user's application-data folder, a folder per key
// and a file per value; its format is described in Registry_posix.cpp.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "support/Status.h"

namespace wm {

// Failure messages name the operation, the key and the reason, in a form
// that a caller puts after its own words, e.g.
//   creating key HKEY_CURRENT_USER\Software\X failed: Access is denied (error 5)
class Registry {
 public:
  virtual ~Registry() = default;

  // Opens the key (a path below HKEY_CURRENT_USER, parts separated by "\"),
  // creating it and any missing keys above it. Closes any key held before.
  virtual Status CreateKey(const std::string& keyPath) = 0;
  // Deletes a value of the open key; a value that is not there counts as
  // deleted.
  virtual Status DeleteValue(const std::string& name) = 0;
  // A REG_SZ value of the open key, up to its NUL; none where there is no
  // such value (asked of a key that CreateKey made, nothing: it has none). A
  // value of another type is a failure.
  virtual Result<std::optional<std::string>> StringValue(const std::string& name) = 0;
  // Sets a value of the open key to a REG_SZ string: its characters and one
  // terminating NUL.
  virtual Status SetStringValue(const std::string& name, const std::string& value) = 0;
  // Closes the open key, if any. The destructor does the same.
  virtual void CloseKey() = 0;
};

// The registry of the user the program runs as. The Linux stand-in keeps its
// store in the user's application-data folder, as the run found it
// (<applicationData>Wendelmarquistone/Registry; "" gives a store whose every
// CreateKey fails); Windows does not need it.
std::unique_ptr<Registry> OpenCurrentUserRegistry(const std::string& applicationData);

// The failures, in the words every implementation uses (the test's recording
// registry too), so that a message reads the same on every platform:
//   creating key HKEY_CURRENT_USER\<key> failed: <reason>
//   deleting value "<name>" in HKEY_CURRENT_USER\<key> failed: <reason>
//   setting value "<name>" in HKEY_CURRENT_USER\<key> failed: <reason>
//   reading value "<name>" in HKEY_CURRENT_USER\<key> failed: <reason>
//   deleting value "<name>" failed: no registry key is open
Status CreateKeyFailure(const std::string& keyPath, const std::string& reason);
// operation: "deleting", "setting" or "reading".
Status ValueFailure(const char* operation, const std::string& keyPath, const std::string& name,
                    const std::string& reason);
Status NoOpenKeyFailure(const char* operation, const std::string& name);
// The reason a value of another type than REG_SZ gives.
inline constexpr const char kNotAString[] = "it is not a string (REG_SZ)";

}  // namespace wm
