#include "ui/ExplanationFormUnit.h"

#include "support/Console.h"

namespace wm {

namespace {

using K = UsageKind;
using F = UsageFont;
using C = UsageColour;
using B = UsageBackground;

// "\xAE" is the registered sign in code page 1252.
const std::vector<UsageElement> kElements = {
    {"Image1", K::Picture, nullptr, {0, 0, 371, 85}, F::Default, C::WindowText, B::Window, ""},
    {"Label1",
     K::Label,
     nullptr,
     {8, 96, 353, 32},
     F::Default,
     C::WindowText,
     B::Window,
     "The Brackenhulme Wendelmarquistone for Microsoft Outlook XP, 2003 && 2007\xAE needs to be "
     "called from the command line. The syntax is:"},
    {"Label2",
     K::SingleLineLabel,
     nullptr,
     {12, 131, 240, 11},
     F::MonoBold,
     C::WindowText,
     B::Window,
     "Wendelmarquistone.exe [options]"},
    {"Label4",
     K::Label,
     nullptr,
     {8, 149, 353, 17},
     F::Bold,
     C::WindowText,
     B::Window,
     "Possible Options:"},
    {"Label8",
     K::Label,
     nullptr,
     {12, 165, 352, 31},
     F::Default,
     C::WindowText,
     B::Window,
     "\"EXCHANGE SERVER\" (1st Argument) is the fully qualified domain name of the exchange "
     "server. (Required)"},
    {"Panel1", K::Panel, nullptr, {8, 194, 353, 50}, F::Default, C::WindowText, B::Panel, ""},
    {"Label7",
     K::Label,
     "Panel1",
     {3, 5, 346, 45},
     F::Default,
     C::Black,
     B::Transparent,
     "\"USERNAME\"  (2nd Argument) option allows you to specify a different user than the one "
     "detected in the current profile. Wendelmarquistone will use this instead to connect to "
     "Microsoft Exchange (Optional)"},
    {"Label6",
     K::Label,
     nullptr,
     {10, 244, 353, 40},
     F::Default,
     C::Black,
     B::Window,
     "If you use the word RUNONCE as the last argument, it will only run the Wendelmarquistone "
     "once. This will overwrite any existing profile that was not created by Wendelmarquistone "
     "(Optional-Can't be used with ONLY_EMPTY)"},
    {"Panel2", K::Panel, nullptr, {8, 287, 353, 49}, F::Default, C::WindowText, B::Panel, ""},
    {"Label5",
     K::Label,
     "Panel2",
     {3, 4, 348, 50},
     F::Default,
     C::Black,
     B::Panel,
     "If you use the word ONLY_EMPTY as the last argument, it will only create a new profile if "
     "one does not already exist. Use this if you want to keep existing profiles. "
     "(Optinal-Can't be used with RUNONCE)"},
    {"Label9",
     K::Label,
     nullptr,
     {8, 352, 353, 17},
     F::Bold,
     C::WindowText,
     B::Window,
     "Example: (Setup to connect to server1, and only new profiles)"},
    {"Label10",
     K::SingleLineLabel,
     nullptr,
     {11, 373, 287, 11},
     F::Mono,
     C::WindowText,
     B::Window,
     "Wendelmarquistone.exe \"Server1\" ONLY_EMPTY"},
    {"Label3",
     K::Label,
     nullptr,
     {10, 393, 353, 40},
     F::Default,
     C::Blue,
     B::Window,
     "The best placement of this command is in the users logon script. Once called, the user may "
     "launch Microsoft Outlook XP, 2003 && 2007\xAE with no further setup"},
    {"cxButton1",
     K::Button,
     nullptr,
     {144, 434, 84, 28},
     F::Default,
     C::WindowText,
     B::Window,
     "OK"},
};

}  // namespace

const std::vector<UsageElement>& UsageElements() {
  return kElements;
}

const UsageElement* FindUsageElement(std::string_view name) {
  for (const UsageElement& element : kElements) {
    if (name == element.name) {
      return &element;
    }
  }
  return nullptr;
}

std::string DisplayText(std::string_view stored) {
  std::string shown;
  shown.reserve(stored.size());
  for (size_t i = 0; i < stored.size(); ++i) {
    if (stored[i] != '&') {
      shown += stored[i];
    } else if (i + 1 < stored.size() && stored[i + 1] == '&') {
      shown += '&';
      ++i;
    }
  }
  return shown;
}

// The labels carry the information; the picture, the panels and the button
// have nothing to say in text.
std::vector<std::string> UsageTextLines() {
  std::vector<std::string> lines;
  for (const UsageElement& element : kElements) {
    if (element.kind == UsageKind::Label || element.kind == UsageKind::SingleLineLabel) {
      lines.push_back(DisplayText(element.text));
    }
  }
  return lines;
}

Status WriteUsageText() {
  for (const std::string& line : UsageTextLines()) {
    Status written = WriteLine(line);
    if (!written) {
      return written;
    }
  }
  return Status::Ok();
}

}  // namespace wm
