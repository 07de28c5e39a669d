#include "support/SpecialFolder.h"
#include "support/SpecialFolder_win32.h"

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

// The text in the ANSI code page, with the system's default character ("?")
// for what the code page cannot hold, not a look-alike ("best fit": a Greek
// beta would become a German sharp s). UTF-8 takes no such flag.
std::string ToAnsi(const std::wstring& text) {
  if (text.empty()) {
    return std::string();
  }
  const DWORD flags = GetACP() == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const int length = static_cast<int>(text.size());
  int size = WideCharToMultiByte(CP_ACP, flags, text.c_str(), length, nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_ACP, flags, text.c_str(), length, &ansi[0], size, nullptr, nullptr);
  }
  return ansi;
}

std::wstring FromAnsi(const std::string& text) {
  if (text.empty()) {
    return std::wstring();
  }
  int size =
      MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(size > 0 ? size : 0), L'\0');
  if (size > 0) {
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), &wide[0], size);
  }
  return wide;
}

// True when the text converts to the ANSI code page and back unchanged: no
// character replaced by the default one, none by a look-alike ("best fit").
// Holds for every code page, UTF-8 and the double-byte ones included.
bool ToAnsiExactly(const std::wstring& text, std::string& ansi) {
  ansi = ToAnsi(text);
  return FromAnsi(ansi) == text;
}

}  // namespace

bool ShellFolderPath(int identifier, std::wstring& path) {
  ItemList list;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, identifier, list.receive())) ||
      list.get() == nullptr) {
    return false;
  }
  wchar_t buffer[kPathBuffer] = {};
  if (!SHGetPathFromIDListW(list.get(), buffer) || buffer[0] == L'\0') {
    return false;
  }
  path = buffer;
  return true;
}

FolderStatus AnsiPath(const std::wstring& path, std::string& ansi) {
  if (ToAnsiExactly(path, ansi)) {
    return FolderStatus::Found;
  }
  const std::string shown = ansi;
  DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (size > 0) {
    std::wstring shortPath(size, L'\0');
    DWORD length = GetShortPathNameW(path.c_str(), &shortPath[0], size);
    if (length > 0 && length < size) {
      shortPath.resize(length);
      if (ToAnsiExactly(shortPath, ansi)) {
        return FolderStatus::Found;
      }
    }
  }
  ansi = shown;
  return FolderStatus::NoAnsiPath;
}

FolderStatus FindSpecialFolder(const std::string& name, std::string& path) {
  path.clear();
  char buffer[kPathBuffer] = {};
  if (name == "SYSTEM" || name == "WINDOWS") {
    UINT length = name == "SYSTEM" ? GetSystemDirectoryA(buffer, kPathBuffer)
                                   : GetWindowsDirectoryA(buffer, kPathBuffer);
    path = DirectoryResult(buffer, length);
    return path.empty() ? FolderStatus::NotFound : FolderStatus::Found;
  }
  std::wstring wide;
  if (!ShellFolderPath(FolderIdentifier(name), wide)) {
    return FolderStatus::NotFound;
  }
  FolderStatus status = AnsiPath(wide, path);
  path += "\\";
  return status;
}

}  // namespace wm
