#include "testlib/WindowProbe.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstring>

namespace wmtest {

namespace {

// A window as a failure message names it: its handle and class, or that it
// is gone.
std::string Describe(HWND window) {
  char text[96] = {};
  std::snprintf(text, sizeof text, "%p", static_cast<void*>(window));
  char name[64] = {};
  if (window == nullptr || !IsWindow(window)) {
    return window == nullptr ? "none" : std::string(text) + " (no longer a window)";
  }
  GetClassNameA(window, name, sizeof name);
  return std::string(text) + " (class " + name + (IsWindowVisible(window) ? ", visible)" : ")");
}

::testing::AssertionResult PostFailed(const char* what, HWND target, DWORD error) {
  return ::testing::AssertionFailure()
         << "posting " << what << " to " << Describe(target) << " failed with error " << error;
}

struct FindContext {
  DWORD processId;
  const char* windowClass;
  HWND found;
  std::string seen;  // every top-level window of the process
};

BOOL CALLBACK FindWindowOfClass(HWND window, LPARAM context) {
  auto* find = reinterpret_cast<FindContext*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != find->processId) {
    return TRUE;
  }
  find->seen += " " + Describe(window);
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  if (std::strcmp(name, find->windowClass) == 0 && IsWindowVisible(window)) {
    find->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

WindowProbe::WindowProbe(const std::string& commandLine, const ProcessOptions& options)
    : process_(commandLine, options) {}

bool WindowProbe::started() const {
  return process_.started();
}

const std::string& WindowProbe::error() const {
  return process_.error();
}

unsigned long WindowProbe::processId() const {
  return process_.processId();
}

const std::string& WindowProbe::failure() const {
  return failure_;
}

WindowHandle WindowProbe::WaitForWindow(const char* windowClass, int timeoutMs) {
  failure_ = "the process did not start: " + error();
  if (!started()) {
    return nullptr;
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    FindContext find{process_.processId(), windowClass, nullptr, {}};
    EnumWindows(FindWindowOfClass, reinterpret_cast<LPARAM>(&find));
    if (find.found != nullptr) {
      return find.found;
    }
    failure_ = std::string("no visible window of class ") + windowClass +
               "; the process's windows:" + (find.seen.empty() ? " none" : find.seen);
    if (process_.EndsWithin(20)) {
      failure_ += "; the process ended";
      return nullptr;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      failure_ += "; waited " + std::to_string(timeoutMs) + " ms";
      return nullptr;
    }
  }
}

WindowHandle WindowProbe::WaitForFocus(WindowHandle window, int timeoutMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    HWND focus = thread != 0 && GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
    if (focus != nullptr && (focus == window || IsChild(window, focus))) {
      return focus;
    }
    failure_ =
        "no control of " + Describe(window) + " has the focus (it is on " + Describe(focus) + ")";
    if (thread == 0 || process_.EndsWithin(10) || std::chrono::steady_clock::now() >= deadline) {
      return nullptr;
    }
  }
}

::testing::AssertionResult WindowProbe::PressOk(WindowHandle window) {
  HWND button = GetDlgItem(window, IDOK);
  if (button == nullptr) {
    return ::testing::AssertionFailure() << Describe(window) << " has no OK button";
  }
  // Posted, so that a window that ends its process on the click cannot leave
  // this thread waiting for an answer.
  if (!PostMessageA(button, BM_CLICK, 0, 0)) {
    return PostFailed("BM_CLICK", button, GetLastError());
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult WindowProbe::PressClose(WindowHandle window) {
  if (!PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0)) {
    return PostFailed("SC_CLOSE", window, GetLastError());
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult WindowProbe::PressKey(WindowHandle window, int virtualKey) {
  HWND target = WaitForFocus(window);
  if (target == nullptr) {
    return ::testing::AssertionFailure() << failure_;
  }
  UINT scan = MapVirtualKeyA(static_cast<UINT>(virtualKey), 0 /* MAPVK_VK_TO_VSC */);
  LPARAM down = 1 | static_cast<LPARAM>(scan << 16);
  LPARAM up = down | (LPARAM{1} << 30) | (LPARAM{1} << 31);
  if (!PostMessageA(target, WM_KEYDOWN, static_cast<WPARAM>(virtualKey), down)) {
    return PostFailed("the key down", target, GetLastError());
  }
  // The program acts on the key down (Enter presses OK) and may have ended
  // before the key up is posted: the press was complete then.
  if (!PostMessageA(target, WM_KEYUP, static_cast<WPARAM>(virtualKey), up)) {
    DWORD error = GetLastError();
    if (error != ERROR_INVALID_WINDOW_HANDLE || IsWindow(target)) {
      return PostFailed("the key up", target, error);
    }
  }
  return ::testing::AssertionSuccess();
}

bool WindowProbe::StillRunningAfter(int ms) {
  return started() && !process_.EndsWithin(ms);
}

ProcessResult WindowProbe::Wait(int timeoutMs) {
  return process_.Wait(timeoutMs);
}

}  // namespace wmtest
