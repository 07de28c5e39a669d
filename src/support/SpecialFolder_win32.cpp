#include "support/SpecialFolder.h"
#include "support/SpecialFolder_win32.h"

#include <windows.h>
#include <shlobj.h>

#include "support/CodePage_win32.h"
#include "support/SystemError.h"

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

Result<std::wstring> ShellFolderPath(int identifier) {
  ItemList list;
  const HRESULT result = SHGetSpecialFolderLocation(nullptr, identifier, list.receive());
  if (FAILED(result)) {
    // A system error code in an HRESULT is given as that code, in the
    // system's words; any other as it stands.
    const unsigned long code = HRESULT_FACILITY(result) == FACILITY_WIN32
                                   ? static_cast<unsigned long>(HRESULT_CODE(result))
                                   : static_cast<unsigned long>(result);
    return Status::Failure("the shell gives no such folder: " + SystemErrorMessage(code));
  }
  wchar_t buffer[kPathBuffer] = {};
  if (list.get() == nullptr || !SHGetPathFromIDListW(list.get(), buffer) || buffer[0] == L'\0') {
    return Status::Failure("the shell gives the folder no path");
  }
  return std::wstring(buffer);
}

SpecialFolder AnsiPath(const std::wstring& path) {
  SpecialFolder folder;
  AnsiText ansi = AnsiFromWide(path);
  folder.path = ansi.text;
  if (ansi.exact) {
    folder.status = FolderStatus::Found;
    return folder;
  }
  folder.status = FolderStatus::NoAnsiPath;
  DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
  std::wstring shortPath(size, L'\0');
  DWORD length = size > 0 ? GetShortPathNameW(path.c_str(), &shortPath[0], size) : 0;
  if (length == 0 || length >= size) {
    folder.reason = "its short (8.3) path cannot be read: " + SystemErrorMessage(GetLastError());
    return folder;
  }
  shortPath.resize(length);
  AnsiText shortAnsi = AnsiFromWide(shortPath);
  if (shortAnsi.exact) {
    folder.status = FolderStatus::Found;
    folder.path = shortAnsi.text;
  } else if (shortPath == path) {
    // The volume gives no short names (NTFS with 8.3 names turned off).
    folder.reason = "no short (8.3) name that Outlook could be given instead";
  } else {
    // FAT short names, or NTFS allowed extended characters in them.
    folder.reason = "a short (8.3) path, \"" + shortAnsi.text + "\", that has such characters too";
  }
  return folder;
}

SpecialFolder GetSpecialFolder(const std::string& name) {
  SpecialFolder folder;
  char buffer[kPathBuffer] = {};
  if (name == "SYSTEM" || name == "WINDOWS") {
    UINT length = name == "SYSTEM" ? GetSystemDirectoryA(buffer, kPathBuffer)
                                   : GetWindowsDirectoryA(buffer, kPathBuffer);
    folder.path = DirectoryResult(buffer, length);
    folder.status = folder.path.empty() ? FolderStatus::NotFound : FolderStatus::Found;
    return folder;
  }
  const Result<std::wstring> wide = ShellFolderPath(FolderIdentifier(name));
  if (!wide) {
    folder.reason = wide.status().message();
    return folder;
  }
  folder = AnsiPath(wide.value());
  folder.path += "\\";
  return folder;
}

}  // namespace wm
