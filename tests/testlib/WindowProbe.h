// Windows only: a program started without waiting for it, so that a test can
// find its window, look at it, press its OK button or close it, and then
// collect its exit status and standard output. Every wait has a deadline and,
// when it gives up, says what it saw (failure()); every press that fails says
// why. A process still running when the probe goes away is ended.
#pragma once

#include <string>

#include <gtest/gtest.h>

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

  // The process's visible top-level window of this class; nullptr when none
  // appears within the timeout or the process ends first (failure() says
  // which, and which windows the process had).
  WindowHandle WaitForWindow(const char* windowClass, int timeoutMs = 10000);

  // The control that has the keyboard focus in the window (the window itself
  // or one of its children), once one has it; nullptr when none has within
  // the timeout (failure() says what had it).
  WindowHandle WaitForFocus(WindowHandle window, int timeoutMs = 10000);

  // What the last wait that gave up saw.
  const std::string& failure() const;

  // Clicks the window's OK button (its child with id IDOK) with BM_CLICK.
  ::testing::AssertionResult PressOk(WindowHandle window);

  // Closes the window as its close box does (WM_SYSCOMMAND, SC_CLOSE).
  ::testing::AssertionResult PressClose(WindowHandle window);

  // Posts a key press (key down, key up) to the window's focused control, as
  // the keyboard would, once a control has the focus.
  ::testing::AssertionResult PressKey(WindowHandle window, int virtualKey);

  // True when the process is still running after waiting this long.
  bool StillRunningAfter(int ms);

  // Waits for the process to end (ending it on timeout, with timedOut set)
  // and gives its exit status and captured standard output.
  ProcessResult Wait(int timeoutMs = 10000);

 private:
  StartedProcess process_;
  std::string failure_;
};

}  // namespace wmtest
