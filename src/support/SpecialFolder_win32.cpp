#include "support/SpecialFolder.h"

#include <windows.h>
#include <shlobj.h>

namespace wm {

namespace {

constexpr UINT kPathBuffer = 261;

// The shell's identifier for a folder name; a name not listed is the desktop.
int FolderIdentifier(const std::string& name) {
  struct Entry {
    const char* name;
    int identifier;
  };
  static const Entry kFolders[] = {
      {"DESKTOP", CSIDL_DESKTOP},                  // 0
      {"PROGRAMS", CSIDL_PROGRAMS},                // 2
      {"STARTMENU", CSIDL_STARTMENU},              // 11
      {"COMMON_PROGRAMS", CSIDL_COMMON_PROGRAMS},  // 23
      {"APPLICATION_DATA", CSIDL_APPDATA},         // 26
      {"PROGRAM_FILES", CSIDL_PROGRAM_FILES},      // 38
  };
  for (const Entry& entry : kFolders) {
    if (name == entry.name) {
      return entry.identifier;
    }
  }
  return CSIDL_DESKTOP;
}

// The item list the shell hands out, freed through the shell's own allocator.
class ItemList {
 public:
  ItemList() = default;
  ~ItemList() {
    if (list_ == nullptr) {
      return;
    }
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator != nullptr) {
      allocator->Free(list_);
      allocator->Release();
    }
  }
  ItemList(const ItemList&) = delete;
  ItemList& operator=(const ItemList&) = delete;

  LPITEMIDLIST* receive() { return &list_; }
  LPCITEMIDLIST get() const { return list_; }

 private:
  LPITEMIDLIST list_ = nullptr;
};

// The path a directory call put into the buffer, or "" when it failed (0) or
// the buffer was too small (a length of the buffer's size or more).
std::string DirectoryResult(const char* buffer, UINT length) {
  if (length == 0 || length >= kPathBuffer) {
    return std::string();
  }
  return std::string(buffer) + "\\";
}

}  // namespace

std::string GetSpecialFolder(const std::string& name) {
  char buffer[kPathBuffer] = {};
  if (name == "SYSTEM") {
    return DirectoryResult(buffer, GetSystemDirectoryA(buffer, kPathBuffer));
  }
  if (name == "WINDOWS") {
    return DirectoryResult(buffer, GetWindowsDirectoryA(buffer, kPathBuffer));
  }
  ItemList list;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, FolderIdentifier(name), list.receive())) ||
      list.get() == nullptr) {
    return std::string();
  }
  if (!SHGetPathFromIDListA(list.get(), buffer) || buffer[0] == '\0') {
    return std::string();
  }
  return std::string(buffer) + "\\";
}

}  // namespace wm
