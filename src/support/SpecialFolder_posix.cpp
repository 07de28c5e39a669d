#include "support/SpecialFolder.h"

#include <cstdlib>
#include <fstream>
#include <optional>

#include "support/PasswordDatabase_posix.h"

namespace wm {

namespace {

bool IsAbsolute(const std::string& path) {
  return !path.empty() && path[0] == '/';
}

// An environment variable's value, or "" when it is unset.
std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

// A variable holding a folder; one that is empty or relative counts as unset.
std::string AbsoluteVariable(const char* name) {
  std::string value = Environment(name);
  return IsAbsolute(value) ? value : std::string();
}

// The effective user's home folder from the password database, or "".
std::string PasswordHome() {
  std::optional<PasswordEntry> entry = EffectiveUserEntry();
  return entry && IsAbsolute(entry->home) ? entry->home : std::string();
}

std::string Home() {
  std::string home = AbsoluteVariable("HOME");
  return !home.empty() ? home : PasswordHome();
}

// The path with exactly one "/" at its end, or "" for "".
std::string AsFolder(std::string path) {
  if (path.empty()) {
    return path;
  }
  while (path.size() > 1 && path.back() == '/') {
    path.pop_back();
  }
  if (path.back() != '/') {
    path += '/';
  }
  return path;
}

// $XDG_<NAME>_HOME, else $HOME followed by the default.
std::string XdgHome(const char* variable, const char* belowHome) {
  std::string value = AbsoluteVariable(variable);
  if (!value.empty()) {
    return value;
  }
  std::string home = Home();
  return home.empty() ? std::string() : AsFolder(home) + belowHome;
}

std::string ConfigHome() {
  return XdgHome("XDG_CONFIG_HOME", ".config");
}

// The XDG_DESKTOP_DIR line of user-dirs.dirs, written by xdg-user-dirs as
// XDG_DESKTOP_DIR="$HOME/Desktop" or with an absolute path; "" when absent.
std::string DesktopFromUserDirs(const std::string& home) {
  std::string configHome = ConfigHome();
  if (configHome.empty()) {
    return std::string();
  }
  std::ifstream file(AsFolder(configHome) + "user-dirs.dirs");
  const std::string key = "XDG_DESKTOP_DIR=\"";
  std::string line;
  std::string found;
  while (std::getline(file, line)) {
    if (line.compare(0, key.size(), key) != 0 || line.size() < key.size() + 1 ||
        line.back() != '"') {
      continue;
    }
    std::string value = line.substr(key.size(), line.size() - key.size() - 1);
    if (value.compare(0, 5, "$HOME") == 0 && (value.size() == 5 || value[5] == '/')) {
      value = home.empty() ? std::string() : home + value.substr(5);
    }
    if (IsAbsolute(value)) {
      found = value;
    }
  }
  return found;
}

std::string Desktop() {
  std::string desktop = AbsoluteVariable("XDG_DESKTOP_DIR");
  if (!desktop.empty()) {
    return desktop;
  }
  std::string home = Home();
  desktop = DesktopFromUserDirs(home);
  if (!desktop.empty()) {
    return desktop;
  }
  return home.empty() ? std::string() : AsFolder(home) + "Desktop";
}

// The first absolute folder of $XDG_DATA_DIRS, else /usr/local/share.
std::string FirstDataDir() {
  std::string dirs = Environment("XDG_DATA_DIRS");
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) {
      end = dirs.size();
    }
    std::string dir = dirs.substr(start, end - start);
    if (IsAbsolute(dir)) {
      return dir;
    }
    start = end + 1;
  }
  return "/usr/local/share";
}

// The folder of that name, or "" when it cannot be found.
std::string FolderPath(const std::string& name) {
  if (name == "APPLICATION_DATA") {
    return AsFolder(ConfigHome());
  }
  if (name == "PROGRAMS" || name == "STARTMENU") {
    std::string dataHome = XdgHome("XDG_DATA_HOME", ".local/share");
    return dataHome.empty() ? std::string() : AsFolder(AsFolder(dataHome) + "applications");
  }
  if (name == "COMMON_PROGRAMS") {
    return AsFolder(AsFolder(FirstDataDir()) + "applications");
  }
  if (name == "PROGRAM_FILES") {
    return "/opt/";
  }
  if (name == "SYSTEM") {
    return "/usr/lib/";
  }
  if (name == "WINDOWS") {
    return "/usr/";
  }
  return AsFolder(Desktop());
}

}  // namespace

// Paths are bytes here: any folder that can be found can be named.
SpecialFolder GetSpecialFolder(const std::string& name) {
  SpecialFolder folder;
  folder.path = FolderPath(name);
  folder.status = folder.path.empty() ? FolderStatus::NotFound : FolderStatus::Found;
  return folder;
}

}  // namespace wm
