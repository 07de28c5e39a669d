#include "testlib/RegistryProbe.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include <gtest/gtest.h>

#include "profile/RegistryStore_posix.h"
#include "testlib/TestSupport.h"

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

// A key or value name as the store writes it (CONTRIBUTING.md): every byte but
// A-Z a-z 0-9, space, "-", "_" and a "." that does not start the name as "%"
// and two upper-case hex digits.
std::string Encoded(const std::string& name) {
  std::string encoded;
  for (size_t i = 0; i < name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (std::isalnum(c) != 0 && c < 128) {
      encoded += static_cast<char>(c);
    } else if (c == ' ' || c == '-' || c == '_' || (c == '.' && i > 0)) {
      encoded += static_cast<char>(c);
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      encoded += hex;
    }
  }
  return encoded;
}

std::string Decoded(const std::string& stored) {
  std::string name;
  for (size_t i = 0; i < stored.size(); ++i) {
    if (stored[i] == '%' && i + 2 < stored.size()) {
      name += static_cast<char>(std::stoi(stored.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      name += stored[i];
    }
  }
  return name;
}

}  // namespace

// The store lives in <temporary folder>/store, so that anything the store
// writes outside its own folder shows in StoreEntries.
struct RegistryProbe::State {
  TempDir dir;
  fs::path store = dir.path() / "store";

  fs::path KeyFolder(const std::string& keyPath) const {
    fs::path folder = store / "HKEY_CURRENT_USER";
    size_t start = 0;
    for (;;) {
      size_t end = keyPath.find('\\', start);
      folder /= Encoded(
          keyPath.substr(start, end == std::string::npos ? std::string::npos : end - start));
      if (end == std::string::npos) {
        return folder;
      }
      start = end + 1;
    }
  }
};

RegistryProbe::RegistryProbe() : state_(std::make_unique<State>()) {}

RegistryProbe::RegistryProbe(const std::string& storeFolder) : RegistryProbe() {
  state_->store = storeFolder;
}

RegistryProbe::~RegistryProbe() = default;

std::unique_ptr<wm::Registry> RegistryProbe::Open() const {
  return wm::OpenRegistryStore(state_->store.string());
}

namespace {

// A key's folder; anything that cannot be looked at (a link to itself) is no
// key.
bool IsKeyFolder(const fs::path& folder) {
  std::error_code unreadable;
  return fs::is_directory(folder, unreadable);
}

}  // namespace

bool RegistryProbe::KeyExists(const std::string& keyPath) const {
  return IsKeyFolder(state_->KeyFolder(keyPath));
}

std::vector<std::string> RegistryProbe::Subkeys(const std::string& keyPath) const {
  std::vector<std::string> names;
  fs::path folder = state_->KeyFolder(keyPath);
  if (IsKeyFolder(folder)) {
    for (const auto& entry : fs::directory_iterator(folder)) {
      if (entry.is_directory()) {
        names.push_back(Decoded(entry.path().filename().string()));
      }
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::map<std::string, RegistryValue> RegistryProbe::Values(const std::string& keyPath) const {
  std::map<std::string, RegistryValue> values;
  fs::path folder = state_->KeyFolder(keyPath);
  if (!IsKeyFolder(folder)) {
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
    values[Decoded(file.substr(1))] =
        RegistryValue{TypeNumber(bytes.substr(0, lineEnd)), bytes.substr(lineEnd + 1)};
  }
  return values;
}

void RegistryProbe::SetValue(const std::string& keyPath, const std::string& name,
                             const RegistryValue& value) {
  fs::path folder = state_->KeyFolder(keyPath);
  fs::create_directories(folder);
  WriteFileBytes(folder / ("@" + Encoded(name)),
                 std::string(TypeName(value.type)) + "\n" + value.data);
}

void RegistryProbe::BlockKey(const std::string& keyPath) {
  fs::path folder = state_->KeyFolder(keyPath);
  fs::create_directories(folder.parent_path());
  WriteFileBytes(folder, "a plain file where a key's folder would go");
}

std::vector<std::string> RegistryProbe::StoreEntries() const {
  std::vector<std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(state_->dir.path())) {
    entries.push_back(fs::relative(entry.path(), state_->dir.path()).generic_string());
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

}  // namespace wmtest
