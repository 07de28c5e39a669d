#include "support/Hardening.h"

#include <windows.h>

#include "support/SystemLibrary_win32.h"

namespace wm {

namespace {

// The values the calls take, named here: the headers for XP leave them out.
constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
constexpr DWORD kDepEnable = 0x00000001;       // PROCESS_DEP_ENABLE

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCSTR);
using HeapSetInformationFunction = BOOL(WINAPI*)(HANDLE, HEAP_INFORMATION_CLASS, PVOID, SIZE_T);
using SetProcessDepPolicyFunction = BOOL(WINAPI*)(DWORD);

}  // namespace

void HardenProcess() {
  // Loaded in every process before its first instruction: no search.
  HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
  // The libraries that the program and the system's own libraries load by
  // name: the folder the exe was started from (a share, a folder that others
  // can write) and the current folder leave the search. The usage window's
  // Common Controls 6 still come from the side-by-side assembly that the
  // manifest names, which is looked up before any folder.
  auto setDefaultDllDirectories =
      LibraryFunction<SetDefaultDllDirectoriesFunction>(kernel32, "SetDefaultDllDirectories");
  if (setDefaultDllDirectories == nullptr || !setDefaultDllDirectories(kSearchSystem32)) {
    auto setDllDirectory = LibraryFunction<SetDllDirectoryFunction>(kernel32, "SetDllDirectoryA");
    if (setDllDirectory != nullptr) {
      (void)setDllDirectory("");
    }
  }
  // Supported from XP SP3 and Vista on; before them the call succeeds and
  // the setting is ignored (HeapSetInformation's page).
  auto heapSetInformation =
      LibraryFunction<HeapSetInformationFunction>(kernel32, "HeapSetInformation");
  if (heapSetInformation != nullptr) {
    (void)heapSetInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
  }
  // A 64-bit process always runs with it; XP SP3 and Vista SP1 and later let
  // a 32-bit one ask for it where the system's policy does not turn it on.
  if constexpr (sizeof(void*) == 4) {
    auto setProcessDepPolicy =
        LibraryFunction<SetProcessDepPolicyFunction>(kernel32, "SetProcessDEPPolicy");
    if (setProcessDepPolicy != nullptr) {
      (void)setProcessDepPolicy(kDepEnable);
    }
  }
}

}  // namespace wm
