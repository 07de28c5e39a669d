// Windows only: `TExplanationForm`, the usage window itself, in plain Win32.
// ShowUsage (ExplanationFormUnit.h) is the way the program uses it; the class
// is open so that the window's tests can look at it and act on it.
#pragma once

#include <memory>

struct HWND__;

namespace wm {

// The window class of the usage window, by which another program finds it.
extern const char kExplanationFormClass[];

// How the window was closed.
enum class TModalResult {
  None,    // still open
  Ok,      // the OK button (or Enter)
  Cancel,  // the close box (or the system menu's Close)
};

class TExplanationForm {
 public:
  TExplanationForm();
  // Destroys the window and everything it holds (fonts, picture).
  ~TExplanationForm();
  TExplanationForm(const TExplanationForm&) = delete;
  TExplanationForm& operator=(const TExplanationForm&) = delete;

  // Creates the window hidden, centred on the screen, with every element of
  // UsageElements laid out for the system's DPI. False when the system will
  // not create a window (no display, no interactive desktop): ShowUsage then
  // writes the text form instead, so no failure of the window is ever shown.
  bool Create();

  // Shows the window and runs its modal loop on the calling thread until the
  // modal result is set; hides the window and returns the result. Call once
  // after a successful Create.
  TModalResult ShowModal();

  // The OK button's click handler: sets the modal result to Ok, which ends
  // the modal loop.
  void cxButton1Click();

  TModalResult ModalResult() const;
  HWND__* Handle() const;
  // The child window of a named element ("Label1", "Panel1", "cxButton1"...),
  // or nullptr.
  HWND__* Element(const char* name) const;
  // Pixels per inch that the layout was scaled for (96 means unscaled).
  int Dpi() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace wm
