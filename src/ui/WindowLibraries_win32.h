// Windows only: the functions of the system libraries that only the usage
// window uses (user32, gdi32, ole32, oleaut32), which the program does not
// import: a run without the window (every logon) does not load them itself.
// They are loaded when the window is about to be made
// (support/SystemLibrary_win32.h), from the one table below.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <olectl.h>

namespace wm {

// Each function once, with its library. The window's code calls them through
// WindowFunctions, by the names the system's headers give them (where a
// header maps a name to another, as GetWindowLongPtrA to GetWindowLongA in
// 32-bit code, the other is the one looked up).
#define WM_WINDOW_FUNCTIONS(X)         \
  X(user32, AdjustWindowRectEx)        \
  X(user32, CreateWindowExA)           \
  X(user32, CreateWindowExW)           \
  X(user32, DefWindowProcA)            \
  X(user32, DeleteMenu)                \
  X(user32, DestroyWindow)             \
  X(user32, DispatchMessageA)          \
  X(user32, FillRect)                  \
  X(user32, GetDC)                     \
  X(user32, GetMessageA)               \
  X(user32, GetParent)                 \
  X(user32, GetProcessWindowStation)   \
  X(user32, GetSysColor)               \
  X(user32, GetSysColorBrush)          \
  X(user32, GetSystemMenu)             \
  X(user32, GetSystemMetrics)          \
  X(user32, GetUserObjectInformationA) \
  X(user32, GetWindowLongPtrA)         \
  X(user32, IsDialogMessageA)          \
  X(user32, LoadCursorA)               \
  X(user32, PostMessageA)              \
  X(user32, PostQuitMessage)           \
  X(user32, RegisterClassExA)          \
  X(user32, ReleaseDC)                 \
  X(user32, SendMessageA)              \
  X(user32, SetFocus)                  \
  X(user32, SetForegroundWindow)       \
  X(user32, SetWindowLongPtrA)         \
  X(user32, ShowWindow)                \
  X(user32, TranslateMessage)          \
  X(user32, UpdateWindow)              \
  X(gdi32, CreateFontIndirectA)        \
  X(gdi32, DeleteObject)               \
  X(gdi32, GetDeviceCaps)              \
  X(gdi32, GetStockObject)             \
  X(gdi32, SetBkColor)                 \
  X(gdi32, SetBkMode)                  \
  X(gdi32, SetTextColor)               \
  X(ole32, CoInitializeEx)             \
  X(ole32, CoUninitialize)             \
  X(ole32, CreateStreamOnHGlobal)      \
  X(oleaut32, OleLoadPicture)

struct WindowFunctions {
#define WM_WINDOW_FUNCTION_MEMBER(library, function) decltype(&::function) function = nullptr;
  WM_WINDOW_FUNCTIONS(WM_WINDOW_FUNCTION_MEMBER)
#undef WM_WINDOW_FUNCTION_MEMBER
};

// The table, its libraries loaded and its functions looked up on the first
// call; nullptr (on every call) where the system lacks any of them, and no
// window is made then.
const WindowFunctions* LoadWindowFunctions();

// The table of a successful LoadWindowFunctions, for the code that runs only
// once the window is made (its window procedures, its clean-up).
const WindowFunctions& Win();

}  // namespace wm
