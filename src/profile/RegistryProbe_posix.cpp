#include "profile/RegistryProbe.h"

#include <cstdlib>
#include <filesystem>
#include <optional>

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace wmtest {

namespace fs = std::filesystem;

namespace {

const char* TypeName(unsigned long type) {
  switch (type) {
    case kRegSz:
      return "REG_SZ";
    case kRegBinary:
      return "REG_BINARY";
    case kRegDword:
      return "REG_DWORD";
  }
  return "REG_NONE";
}

unsigned long TypeNumber(const std::string& name) {
  for (unsigned long type : {kRegSz, kRegBinary, kRegDword}) {
    if (name == TypeName(type)) {
      return type;
    }
  }
  return 0;
}

}  // namespace

// The store lives in $XDG_CONFIG_HOME, pointed at a temporary folder for the
// probe's lifetime. The test names used here need no encoding.
struct RegistryProbe::State {
  TempDir configHome;
  std::optional<std::string> savedConfigHome;

  fs::path KeyFolder(const std::string& keyPath) const {
    fs::path folder = configHome.path() / "Wendelmarquistone" / "Registry" / "HKEY_CURRENT_USER";
    size_t start = 0;
    for (;;) {
      size_t end = keyPath.find('\\', start);
      folder /= keyPath.substr(start, end == std::string::npos ? std::string::npos : end - start);
      if (end == std::string::npos) {
        return folder;
      }
      start = end + 1;
    }
  }
};

RegistryProbe::RegistryProbe() : state_(std::make_unique<State>()) {
  if (const char* value = std::getenv("XDG_CONFIG_HOME")) {
    state_->savedConfigHome = value;
  }
  ::setenv("XDG_CONFIG_HOME", state_->configHome.path().string().c_str(), 1);
}

RegistryProbe::~RegistryProbe() {
  if (state_->savedConfigHome) {
    ::setenv("XDG_CONFIG_HOME", state_->savedConfigHome->c_str(), 1);
  } else {
    ::unsetenv("XDG_CONFIG_HOME");
  }
}

bool RegistryProbe::KeyExists(const std::string& keyPath) const {
  return fs::is_directory(state_->KeyFolder(keyPath));
}

std::map<std::string, RegistryValue> RegistryProbe::Values(const std::string& keyPath) const {
  std::map<std::string, RegistryValue> values;
  fs::path folder = state_->KeyFolder(keyPath);
  if (!fs::is_directory(folder)) {
    return values;
  }
  for (const auto& entry : fs::directory_iterator(folder)) {
    std::string file = entry.path().filename().string();
    if (!entry.is_regular_file() || file.empty() || file[0] != '@') {
      continue;
    }
    std::string bytes = ReadFileBytes(entry.path());
    size_t lineEnd = bytes.find('\n');
    EXPECT_NE(lineEnd, std::string::npos) << "no type line in " << entry.path();
    if (lineEnd == std::string::npos) {
      continue;
    }
    values[file.substr(1)] =
        RegistryValue{TypeNumber(bytes.substr(0, lineEnd)), bytes.substr(lineEnd + 1)};
  }
  return values;
}

void RegistryProbe::SetValue(const std::string& keyPath, const std::string& name,
                             const RegistryValue& value) {
  fs::path folder = state_->KeyFolder(keyPath);
  fs::create_directories(folder);
  WriteFileBytes(folder / ("@" + name), std::string(TypeName(value.type)) + "\n" + value.data);
}

void RegistryProbe::BlockKey(const std::string& keyPath) {
  fs::path folder = state_->KeyFolder(keyPath);
  fs::create_directories(folder.parent_path());
  WriteFileBytes(folder, "a plain file where a key's folder would go");
}

}  // namespace wmtest
