// Windows only: a program started without waiting for it, so that a test can
// find its window, look at it, press its OK button or close it, and then
// collect its exit status and standard output. Every wait has a timeout, and
// a process still running when the probe goes away is ended.
#pragma once

#include <string>

#include "testlib/Process_win32.h"

struct HWND__;

namespace wmtest {

using WindowHandle = HWND__*;

class WindowProbe {
 public:
  // Starts the command line (passed to CreateProcessA verbatim) with the
  // options' environment changes; standard output is captured unless the
  // options say otherwise. Does not wait.
  explicit WindowProbe(const std::string& commandLine, const ProcessOptions& options = {});

  bool started() const;
  const std::string& error() const;  // why the process did not start
  unsigned long processId() const;

  // The process's first visible top-level window; nullptr when none appears
  // within the timeout or the process ends first.
  WindowHandle WaitForWindow(int timeoutMs = 10000);

  // Clicks the window's OK button (the child with id IDOK, or else the button
  // whose text is "OK") with BM_CLICK. False when there is no such button.
  bool PressOk(WindowHandle window);

  // Closes the window as its close box does (WM_SYSCOMMAND, SC_CLOSE).
  bool PressClose(WindowHandle window);

  // Posts a key press (key down, key up) to the control that has the focus in
  // the window's thread, or to the window when none has.
  bool PressKey(WindowHandle window, int virtualKey);

  // The control that has the keyboard focus in the window's thread.
  WindowHandle FocusedControl(WindowHandle window) const;

  // True when the process is still running after waiting this long.
  bool StillRunningAfter(int ms);

  // Waits for the process to end (ending it on timeout, with timedOut set)
  // and gives its exit status and captured standard output.
  ProcessResult Wait(int timeoutMs = 10000);

 private:
  StartedProcess process_;
};

}  // namespace wmtest
