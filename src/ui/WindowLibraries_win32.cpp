#include "ui/WindowLibraries_win32.h"

#include <cstring>
#include <iterator>

#include "support/SystemLibrary_win32.h"

namespace wm {

namespace {

// The name a function is exported by: its name after the headers' macros.
#define WM_EXPORTED_NAME(function) WM_EXPORTED_NAME_OF(function)
#define WM_EXPORTED_NAME_OF(function) #function

// Each function's library and name, in the table's order.
struct Entry {
  const char* library;
  const char* name;
};
constexpr Entry kEntries[] = {
#define WM_ENTRY(library, function) {#library ".dll", WM_EXPORTED_NAME(function)},
    WM_WINDOW_FUNCTIONS(WM_ENTRY)
#undef WM_ENTRY
};

struct Table {
  WindowFunctions functions;
  bool complete = true;
};

Table LookUpAll() {
  Table table;
  void (*found[std::size(kEntries)])() = {};
  HMODULE library = nullptr;
  for (size_t i = 0; i < std::size(kEntries); ++i) {
    if (i == 0 || std::strcmp(kEntries[i].library, kEntries[i - 1].library) != 0) {
      library = LoadSystemLibrary(kEntries[i].library);
    }
    found[i] = LibraryFunction<void (*)()>(library, kEntries[i].name);
    table.complete = table.complete && found[i] != nullptr;
  }
  size_t next = 0;
#define WM_TAKE(library, function) \
  table.functions.function = reinterpret_cast<decltype(table.functions.function)>(found[next++]);
  WM_WINDOW_FUNCTIONS(WM_TAKE)
#undef WM_TAKE
  return table;
}

const Table& Loaded() {
  static const Table table = LookUpAll();
  return table;
}

}  // namespace

const WindowFunctions* LoadWindowFunctions() {
  return Loaded().complete ? &Loaded().functions : nullptr;
}

const WindowFunctions& Win() {
  return Loaded().functions;
}

}  // namespace wm
