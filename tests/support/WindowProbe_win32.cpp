#include "support/WindowProbe.h"

#include <windows.h>

#include <chrono>
#include <cstring>
#include <thread>

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

struct WindowProbe::State {
  std::string error;
  PROCESS_INFORMATION process{};
  HANDLE readEnd = nullptr;
  std::thread reader;
  ProcessResult result;

  ~State() {
    if (process.hProcess != nullptr) {
      if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 255);
        WaitForSingleObject(process.hProcess, 5000);
      }
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
    }
    if (reader.joinable()) {
      reader.join();
    }
    if (readEnd != nullptr) {
      CloseHandle(readEnd);
    }
  }
};

WindowProbe::WindowProbe(const std::string& commandLine, const ProcessOptions& options)
    : state_(std::make_unique<State>()) {
  State& s = *state_;
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE childOutput = nullptr;
  if (options.output == OutputMode::Capture) {
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&s.readEnd, &writeEnd, &inherit, 0)) {
      s.error = "CreatePipe failed with error " + std::to_string(GetLastError());
      return;
    }
    SetHandleInformation(s.readEnd, HANDLE_FLAG_INHERIT, 0);
    childOutput = writeEnd;
  } else if (options.output == OutputMode::File) {
    childOutput = CreateFileA(options.outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (childOutput == INVALID_HANDLE_VALUE) {
      s.error = "cannot create " + options.outputFile;
      return;
    }
  }

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = childOutput;  // null when the output is to be closed
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  std::string environment = EnvironmentBlock(options);
  std::string mutableLine = commandLine;
  BOOL created = CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, 0,
                                environment.data(), nullptr, &startup, &s.process);
  DWORD createError = GetLastError();
  if (childOutput != nullptr) {
    CloseHandle(childOutput);
  }
  if (!created) {
    s.process = PROCESS_INFORMATION{};
    s.error = "CreateProcess failed with error " + std::to_string(createError);
    return;
  }
  s.result.started = true;
  if (s.readEnd != nullptr) {
    s.reader = std::thread([&s] {
      char buffer[4096];
      DWORD n = 0;
      while (ReadFile(s.readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0) {
        s.result.output.append(buffer, n);
      }
    });
  }
}

WindowProbe::~WindowProbe() = default;

bool WindowProbe::started() const {
  return state_->result.started;
}

const std::string& WindowProbe::error() const {
  return state_->error;
}

unsigned long WindowProbe::processId() const {
  return state_->process.dwProcessId;
}

WindowHandle WindowProbe::WaitForWindow(int timeoutMs) {
  if (!started()) {
    return nullptr;
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    FindContext find{state_->process.dwProcessId, nullptr};
    EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&find));
    if (find.found != nullptr) {
      return find.found;
    }
    if (WaitForSingleObject(state_->process.hProcess, 50) == WAIT_OBJECT_0 ||
        std::chrono::steady_clock::now() >= deadline) {
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
  return started() &&
         WaitForSingleObject(state_->process.hProcess, static_cast<DWORD>(ms)) == WAIT_TIMEOUT;
}

ProcessResult WindowProbe::Wait(int timeoutMs) {
  State& s = *state_;
  if (!started()) {
    ProcessResult failed;
    failed.error = s.error;
    return failed;
  }
  if (WaitForSingleObject(s.process.hProcess, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) {
    s.result.timedOut = true;
    TerminateProcess(s.process.hProcess, 255);
    WaitForSingleObject(s.process.hProcess, 5000);
  }
  DWORD code = 0;
  GetExitCodeProcess(s.process.hProcess, &code);
  s.result.exitCode = static_cast<int>(code);
  if (s.reader.joinable()) {
    s.reader.join();
  }
  return s.result;
}

}  // namespace wmtest
