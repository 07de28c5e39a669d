#include "testlib/WindowProbe.h"

#include <windows.h>

#include <chrono>
#include <cstring>

namespace wmtest {

namespace {

struct FindContext {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM context) {
  auto* find = reinterpret_cast<FindContext*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == find->processId && IsWindowVisible(window)) {
    find->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK FindOkButton(HWND child, LPARAM context) {
  auto* found = reinterpret_cast<HWND*>(context);
  char className[32] = {};
  GetClassNameA(child, className, sizeof className);
  char text[16] = {};
  GetWindowTextA(child, text, sizeof text);
  if (lstrcmpiA(className, "Button") == 0 &&
      (GetDlgCtrlID(child) == IDOK || std::strcmp(text, "OK") == 0)) {
    *found = child;
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

WindowHandle WindowProbe::WaitForWindow(int timeoutMs) {
  if (!started()) {
    return nullptr;
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    FindContext find{process_.processId(), nullptr};
    EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&find));
    if (find.found != nullptr) {
      return find.found;
    }
    if (process_.EndsWithin(50) || std::chrono::steady_clock::now() >= deadline) {
      return nullptr;
    }
  }
}

bool WindowProbe::PressOk(WindowHandle window) {
  HWND button = nullptr;
  EnumChildWindows(window, FindOkButton, reinterpret_cast<LPARAM>(&button));
  if (button == nullptr) {
    return false;
  }
  // Posted, so that a window that ends its process on the click cannot leave
  // this thread waiting for an answer.
  return PostMessageA(button, BM_CLICK, 0, 0) != FALSE;
}

bool WindowProbe::PressClose(WindowHandle window) {
  return PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0) != FALSE;
}

WindowHandle WindowProbe::FocusedControl(WindowHandle window) const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  DWORD thread = GetWindowThreadProcessId(window, nullptr);
  if (thread == 0 || !GetGUIThreadInfo(thread, &info)) {
    return nullptr;
  }
  return info.hwndFocus;
}

bool WindowProbe::PressKey(WindowHandle window, int virtualKey) {
  HWND target = FocusedControl(window);
  if (target == nullptr) {
    target = window;
  }
  UINT scan = MapVirtualKeyA(static_cast<UINT>(virtualKey), 0 /* MAPVK_VK_TO_VSC */);
  LPARAM down = 1 | static_cast<LPARAM>(scan << 16);
  LPARAM up = down | (LPARAM{1} << 30) | (LPARAM{1} << 31);
  return PostMessageA(target, WM_KEYDOWN, static_cast<WPARAM>(virtualKey), down) &&
         PostMessageA(target, WM_KEYUP, static_cast<WPARAM>(virtualKey), up);
}

bool WindowProbe::StillRunningAfter(int ms) {
  return started() && !process_.EndsWithin(ms);
}

ProcessResult WindowProbe::Wait(int timeoutMs) {
  return process_.Wait(timeoutMs);
}

}  // namespace wmtest
