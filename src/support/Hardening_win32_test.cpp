// A library put beside the program, or in the folder it runs in, under a name
// the program loads: the default search finds it there, and after the
// program's start-up step (the very function the program calls first) it is
// found nowhere. The library is built beside this test program; for the
// current folder, a copy of it is made in a new folder that becomes the
// current one. Each load is checked by the library's own export, and each
// library is unloaded again, so that the second load searches afresh.
// Prints a line per case; exit status 0 when every case holds.
#include <windows.h>

#include <cstdio>
#include <string>

#include "support/Hardening.h"

namespace {

const char kLibrary[] = "wm_planted_library.dll";
const char kCopy[] = "wm_planted_copy.dll";  // the copy in the current folder

// "loaded", "not found" or what else happened.
std::string Load(const char* name) {
  HMODULE library = LoadLibraryA(name);
  if (library == nullptr) {
    const DWORD error = GetLastError();
    return error == ERROR_MOD_NOT_FOUND ? "not found" : "failed, error " + std::to_string(error);
  }
  const bool planted = GetProcAddress(library, "WmPlantedLibrary") != nullptr;
  FreeLibrary(library);
  if (GetModuleHandleA(name) != nullptr) {
    return "loaded and not unloaded";
  }
  return planted ? "loaded" : "another library loaded";
}

}  // namespace

int main() {
  char exe[MAX_PATH] = {};
  DWORD length = GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string planted(exe, length);
  planted.replace(planted.find_last_of('\\') + 1, std::string::npos, kLibrary);
  std::string current = std::string(exe, length) + ".current";
  CreateDirectoryA(current.c_str(), nullptr);
  if (!CopyFileA(planted.c_str(), (current + "\\" + kCopy).c_str(), FALSE) ||
      !SetCurrentDirectoryA(current.c_str())) {
    std::printf("FAIL: cannot put a copy of %s in %s\n", planted.c_str(), current.c_str());
    return 1;
  }

  struct Case {
    const char* where;
    const char* name;
    std::string before;
    std::string after;
  } cases[] = {{"beside the program", kLibrary, {}, {}}, {"in the current folder", kCopy, {}, {}}};
  for (Case& each : cases) {
    each.before = Load(each.name);
  }
  wm::HardenProcess();
  for (Case& each : cases) {
    each.after = Load(each.name);
  }

  int failed = 0;
  for (const Case& each : cases) {
    const bool holds = each.before == "loaded" && each.after == "not found";
    failed += holds ? 0 : 1;
    std::printf("%s: a library %s: without the start-up step %s, after it %s\n",
                holds ? "ok" : "FAIL", each.where, each.before.c_str(), each.after.c_str());
  }
  SetCurrentDirectoryA("\\");
  DeleteFileA((current + "\\" + kCopy).c_str());
  RemoveDirectoryA(current.c_str());
  return failed == 0 ? 0 : 1;
}
