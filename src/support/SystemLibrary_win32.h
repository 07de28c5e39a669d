// Windows only: functions of the system's libraries looked up at run time
// rather than imported, for the two kinds of call the exe must not import:
// one that Windows XP lacks (the start-up step's, Hardening_win32.cpp), and
// one of a library that only the usage window needs. Every library the exe
// imports is mapped and initialised before its first instruction, in every
// run; the window's are loaded when it is about to be made, so that a run
// without it (every logon) does not load them itself.
#pragma once

#include <windows.h>

namespace wm {

// A system library by name, loaded if it is not yet; nullptr where the
// system has none. Called only after the start-up step (HardenProcess), which
// narrows the search to the system folder; the libraries loaded so are the
// system's known ones (found in the system folder before any other) and the
// Common Controls, which come from the side-by-side assembly that the
// manifest names. A library loaded here stays, as an imported one would.
inline HMODULE LoadSystemLibrary(const char* name) {
  return LoadLibraryA(name);
}

// A function of a library by name, or nullptr where the library lacks it or
// is nullptr itself. Through a pointer to a function without
// parameters, which converts to and from any other function pointer without
// a warning.
template <typename Function>
Function LibraryFunction(HMODULE library, const char* name) {
  if (library == nullptr) {
    return nullptr;
  }
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

}  // namespace wm
