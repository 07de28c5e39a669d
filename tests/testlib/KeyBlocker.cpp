// A program that makes creating keys below one registry key fail for the
// programs run after it: the key's parent is made as a normal key and the key
// itself as a volatile one, which cannot hold a normal key. It lasts as long
// as the wineserver (a persistent one: until its environment is stopped).
//   key_blocker <key below HKEY_CURRENT_USER>
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

bool Create(const std::string& path, DWORD options) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, options, KEY_ALL_ACCESS, nullptr,
                      &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: key_blocker KEY\n", stderr);
    return 2;
  }
  const std::string path = argv[1];
  return Create(path.substr(0, path.rfind('\\')), REG_OPTION_NON_VOLATILE) &&
                 Create(path, REG_OPTION_VOLATILE)
             ? 0
             : 1;
}
