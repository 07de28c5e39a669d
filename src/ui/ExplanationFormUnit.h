// The usage window: the one window of the program, shown when the command
// line names no Exchange server. It explains the syntax and waits for OK.
//
// The window's contents are fixed. They are described here once, as a table
// that both the window (Windows) and its text form (no display) are built
// from, so that the two can never say different things.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "support/Status.h"

namespace wm {

// Shows the usage window modally and returns when it closes; when no window
// can be created (no display/desktop, always on Linux) writes the usage text
// to standard output instead. Fails only when that text cannot be written.
Status ShowUsage();

// The text form's lines, in the window's order, as displayed (one "&" for a
// stored "&&"), without line ends. Written with CR LF by WriteUsageText.
std::vector<std::string> UsageTextLines();

// Writes UsageTextLines to standard output, each line ending in CR LF; stops
// at the first failed write and returns it.
Status WriteUsageText();

// A stored text as the user sees it: "&&" stands for one "&"; a single "&" is
// a mnemonic marker and is not shown.
std::string DisplayText(std::string_view stored);

// The window's client area, in pixels at 96 pixels per inch.
inline constexpr int kUsageClientWidth = 371;
inline constexpr int kUsageClientHeight = 468;

// A box in pixels at 96 pixels per inch, relative to the client area of the
// element's parent (the window, or the panel it stands on).
struct UsageBox {
  int left;
  int top;
  int width;
  int height;
};

enum class UsageKind {
  Picture,          // the banner artwork
  Panel,            // a borderless band in the button-face colour
  Label,            // text that wraps at word boundaries inside its box
  SingleLineLabel,  // text on one line, never wrapped
  Button,           // the OK button
};

enum class UsageFont {
  Default,   // "MS Sans Serif", 11 pixels
  Bold,      // "MS Sans Serif", 11 pixels, bold
  Mono,      // "Lucida Console", 11 pixels
  MonoBold,  // "Lucida Console", 11 pixels, bold
};

enum class UsageColour {
  WindowText,  // the system's window-text colour
  Black,       // RGB 0, 0, 0
  Blue,        // RGB 0, 0, 255
};

enum class UsageBackground {
  Window,       // the window's white
  Panel,        // the button-face colour of the panel it stands on
  Transparent,  // whatever is behind it
};

struct UsageElement {
  const char* name;  // `Image1`, `Label1`, ..., `cxButton1`
  UsageKind kind;
  const char* parent;  // the panel it stands on, or nullptr for the window
  UsageBox box;
  UsageFont font;
  UsageColour colour;
  UsageBackground background;
  const char* text;  // as stored: "&&" for one displayed "&"; 8-bit ANSI (code page 1252)
};

// Every element of the window, from top to bottom; a panel comes before the
// label on it. The button is the only element that takes the focus.
const std::vector<UsageElement>& UsageElements();

// The element of that name, or nullptr.
const UsageElement* FindUsageElement(std::string_view name);

}  // namespace wm
