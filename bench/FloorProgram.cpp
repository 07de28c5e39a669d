// The floor of the benchmark on Windows: a program built like
// Wendelmarquistone that only starts and looks up the user's roaming
// application-data folder the way the program does (the shell's item list for
// CSIDL_APPDATA, its path, the list freed through the shell's allocator, which
// brings in ole32). A normal run should cost little more than this.
#include <windows.h>
#include <shlobj.h>

int main() {
  LPITEMIDLIST list = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_APPDATA, &list)) || list == nullptr) {
    return 1;
  }
  wchar_t path[MAX_PATH + 1] = {};
  const bool found = SHGetPathFromIDListW(list, path) && path[0] != L'\0';
  IMalloc* allocator = nullptr;
  if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator != nullptr) {
    allocator->Free(list);
    allocator->Release();
  }
  return found ? 0 : 1;
}
