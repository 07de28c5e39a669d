// The real usage window under a real display: in this process (layout, fonts,
// colours, keys, modal results) and in a separate program (finding it, closing
// it). Every test closes the window itself, and a watchdog closes it after 15
// seconds should a test's own action fail, so no test can wait forever.
#include "ui/ExplanationFormUnit_win32.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "testlib/Process.h"
#include "testlib/WindowProbe.h"
#include "ui/ExplanationFormUnit.h"

namespace wm {
namespace {

std::string WindowText(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string ClassName(HWND window) {
  char name[128] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

// The window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// Shows the form modally while `action` runs on another thread once the
// window is visible. A watchdog closes the window after 15 s.
TModalResult ShowModalWhile(TExplanationForm& form, const std::function<void(HWND)>& action) {
  HWND window = form.Handle();
  HANDLE finished = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::thread actor([window, &action] {
    for (int i = 0; i < 500 && !IsWindowVisible(window); ++i) {
      Sleep(10);
    }
    action(window);
  });
  std::thread watchdog([window, finished] {
    if (WaitForSingleObject(finished, 15000) == WAIT_TIMEOUT) {
      PostMessageA(window, WM_CLOSE, 0, 0);
    }
  });
  TModalResult result = form.ShowModal();
  SetEvent(finished);
  actor.join();
  watchdog.join();
  CloseHandle(finished);
  return result;
}

class UsageWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(form_.Create()) << "error " << GetLastError();
    if (form_.Dpi() != 96) {
      GTEST_SKIP() << "the layout is checked at 96 DPI; this display has " << form_.Dpi();
    }
  }
  TExplanationForm form_;
};

TEST_F(UsageWindow, IsAnUntitledDialogFrameCentredWithTheGivenClientArea) {
  HWND window = form_.Handle();
  EXPECT_FALSE(IsWindowVisible(window)) << "created hidden";
  EXPECT_EQ(WindowText(window), "");
  LONG style = GetWindowLongA(window, GWL_STYLE);
  LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
  EXPECT_EQ(style & WS_POPUP, WS_POPUP);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_EQ(style & WS_SYSMENU, WS_SYSMENU);
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
  EXPECT_EQ(exStyle & WS_EX_DLGMODALFRAME, WS_EX_DLGMODALFRAME);
  EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);

  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right - client.left, 371);
  EXPECT_EQ(client.bottom - client.top, 468);

  RECT frame{};
  GetWindowRect(window, &frame);
  int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_LE(std::abs((frame.left + frame.right) - screenWidth), 1);
  EXPECT_LE(std::abs((frame.top + frame.bottom) - screenHeight), 1);

  // The system menu of a dialog box: Move and Close.
  HMENU menu = GetSystemMenu(window, FALSE);
  ASSERT_NE(menu, nullptr);
  EXPECT_NE(GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));
  EXPECT_NE(GetMenuState(menu, SC_MOVE, MF_BYCOMMAND), static_cast<UINT>(-1));
  for (UINT command : {SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE}) {
    EXPECT_EQ(GetMenuState(menu, command, MF_BYCOMMAND), static_cast<UINT>(-1)) << command;
  }
}

struct ExpectedElement {
  const char* name;
  const char* className;
  const char* parent;  // nullptr: the window
  RECT box;            // left, top, right, bottom in the parent's client area
  int textLine;        // index into UsageTextLines, or -1
  const char* face;    // nullptr: no font to check
  bool bold;
  bool singleLine;
};

// The layout at 96 DPI, from top to bottom.
const ExpectedElement kLayout[] = {
    {"Image1", "Static", nullptr, {0, 0, 371, 85}, -1, nullptr, false, false},
    {"Label1", "Static", nullptr, {8, 96, 361, 128}, 0, "MS Sans Serif", false, false},
    {"Label2", "Static", nullptr, {12, 131, 252, 142}, 1, "Lucida Console", true, true},
    {"Label4", "Static", nullptr, {8, 149, 361, 166}, 2, "MS Sans Serif", true, false},
    {"Label8", "Static", nullptr, {12, 165, 364, 196}, 3, "MS Sans Serif", false, false},
    {"Panel1", "WendelmarquistonePanel", nullptr, {8, 194, 361, 244}, -1, nullptr, false, false},
    {"Label7", "Static", "Panel1", {3, 5, 349, 50}, 4, "MS Sans Serif", false, false},
    {"Label6", "Static", nullptr, {10, 244, 363, 284}, 5, "MS Sans Serif", false, false},
    {"Panel2", "WendelmarquistonePanel", nullptr, {8, 287, 361, 336}, -1, nullptr, false, false},
    {"Label5", "Static", "Panel2", {3, 4, 351, 54}, 6, "MS Sans Serif", false, false},
    {"Label9", "Static", nullptr, {8, 352, 361, 369}, 7, "MS Sans Serif", true, false},
    {"Label10", "Static", nullptr, {11, 373, 298, 384}, 8, "Lucida Console", false, true},
    {"Label3", "Static", nullptr, {10, 393, 363, 433}, 9, "MS Sans Serif", false, false},
    {"cxButton1", "Button", nullptr, {144, 434, 228, 462}, -1, "MS Sans Serif", false, false},
};

TEST_F(UsageWindow, PlacesEveryElementInItsBoxWithItsTextAndFont) {
  const std::vector<std::string> lines = UsageTextLines();
  for (const ExpectedElement& expected : kLayout) {
    SCOPED_TRACE(expected.name);
    HWND element = form_.Element(expected.name);
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(ClassName(element), expected.className);
    HWND parent = expected.parent != nullptr ? form_.Element(expected.parent) : form_.Handle();
    EXPECT_EQ(GetParent(element), parent);
    RECT box = RectInParent(element);
    EXPECT_EQ(box.left, expected.box.left);
    EXPECT_EQ(box.top, expected.box.top);
    EXPECT_EQ(box.right, expected.box.right);
    EXPECT_EQ(box.bottom, expected.box.bottom);
    EXPECT_TRUE(IsWindowVisible(element) || !IsWindowVisible(form_.Handle()));

    LONG style = GetWindowLongA(element, GWL_STYLE);
    if (expected.textLine >= 0) {
      // The text as shown: SS_NOPREFIX, so the control shows exactly this.
      EXPECT_EQ(WindowText(element), lines[static_cast<size_t>(expected.textLine)]);
      EXPECT_EQ(style & SS_NOPREFIX, SS_NOPREFIX);
      EXPECT_EQ(style & SS_TYPEMASK,
                static_cast<LONG>(expected.singleLine ? SS_LEFTNOWORDWRAP : SS_LEFT));
    }
    if (expected.face != nullptr) {
      auto font = reinterpret_cast<HFONT>(SendMessageA(element, WM_GETFONT, 0, 0));
      ASSERT_NE(font, nullptr);
      LOGFONTA logFont{};
      ASSERT_EQ(GetObjectA(font, sizeof logFont, &logFont), static_cast<int>(sizeof logFont));
      EXPECT_STREQ(logFont.lfFaceName, expected.face);
      EXPECT_EQ(logFont.lfHeight, -11);
      EXPECT_EQ(logFont.lfWeight, expected.bold ? FW_BOLD : FW_NORMAL);
    }
  }
  HWND button = form_.Element("cxButton1");
  EXPECT_EQ(WindowText(button), "OK");
  EXPECT_EQ(GetDlgCtrlID(button), IDOK);
  LONG buttonStyle = GetWindowLongA(button, GWL_STYLE);
  EXPECT_EQ(buttonStyle & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(buttonStyle & WS_TABSTOP, WS_TABSTOP);
  // The texts with "&&" show one "&". They are wide-character text: "®" is
  // itself on every code page, not a byte that each reads its own way.
  HWND label = form_.Element("Label1");
  EXPECT_NE(WindowText(label).find("XP, 2003 & 2007\xAE needs"), std::string::npos);
  EXPECT_TRUE(IsWindowUnicode(label));
  wchar_t wide[1024] = {};
  GetWindowTextW(label, wide, 1024);
  EXPECT_NE(std::wstring(wide).find(L"XP, 2003 & 2007\u00AE needs"), std::wstring::npos);
}

// The USERNAME and ONLY_EMPTY paragraphs stand on plain grey bands: no
// border, no caption, no edge of any kind.
TEST_F(UsageWindow, PanelsHaveNoBorderAndNoCaption) {
  for (const char* name : {"Panel1", "Panel2"}) {
    SCOPED_TRACE(name);
    HWND panel = form_.Element(name);
    ASSERT_NE(panel, nullptr);
    LONG style = GetWindowLongA(panel, GWL_STYLE);
    LONG exStyle = GetWindowLongA(panel, GWL_EXSTYLE);
    EXPECT_EQ(style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME), 0);
    EXPECT_EQ(style & WS_CHILD, WS_CHILD);
    EXPECT_EQ(
        exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_WINDOWEDGE | WS_EX_DLGMODALFRAME),
        0);
    EXPECT_EQ(WindowText(panel), "");
    RECT client{};
    RECT frame{};
    GetClientRect(panel, &client);
    GetWindowRect(panel, &frame);
    EXPECT_EQ(client.right - client.left, frame.right - frame.left) << "no frame around it";
    EXPECT_EQ(client.bottom - client.top, frame.bottom - frame.top) << "no frame around it";
  }
}

enum class Behind { White, ButtonFace, Transparent };

struct ExpectedColour {
  const char* name;
  COLORREF text;  // CLR_INVALID: the system's window-text colour
  Behind behind;
};

const ExpectedColour kColours[] = {
    {"Label1", CLR_INVALID, Behind::White},        {"Label2", CLR_INVALID, Behind::White},
    {"Label4", CLR_INVALID, Behind::White},        {"Label8", CLR_INVALID, Behind::White},
    {"Label7", RGB(0, 0, 0), Behind::Transparent}, {"Label6", RGB(0, 0, 0), Behind::White},
    {"Label5", RGB(0, 0, 0), Behind::ButtonFace},  {"Label9", CLR_INVALID, Behind::White},
    {"Label10", CLR_INVALID, Behind::White},       {"Label3", RGB(0, 0, 255), Behind::White},
};

// Asks each label's parent for its colours, as the label does when it paints.
TEST_F(UsageWindow, GivesEveryLabelItsColours) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  for (const ExpectedColour& expected : kColours) {
    SCOPED_TRACE(expected.name);
    HWND label = form_.Element(expected.name);
    ASSERT_NE(label, nullptr);
    SetBkMode(dc, OPAQUE);
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkColor(dc, RGB(4, 5, 6));
    auto brush = reinterpret_cast<HBRUSH>(SendMessageA(GetParent(label), WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(label)));
    COLORREF text = expected.text == CLR_INVALID ? GetSysColor(COLOR_WINDOWTEXT) : expected.text;
    EXPECT_EQ(GetTextColor(dc), text);
    LOGBRUSH fill{};
    ASSERT_NE(GetObjectA(brush, sizeof fill, &fill), 0);
    switch (expected.behind) {
      case Behind::White:
        EXPECT_EQ(fill.lbStyle, static_cast<UINT>(BS_SOLID));
        EXPECT_EQ(fill.lbColor, RGB(255, 255, 255));
        EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
        break;
      case Behind::ButtonFace:
        EXPECT_EQ(fill.lbStyle, static_cast<UINT>(BS_SOLID));
        EXPECT_EQ(fill.lbColor, GetSysColor(COLOR_BTNFACE));
        EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_BTNFACE));
        break;
      case Behind::Transparent:
        EXPECT_EQ(fill.lbStyle, static_cast<UINT>(BS_NULL));
        EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
        break;
    }
  }
  DeleteDC(dc);
}

BOOL CALLBACK ChildNeedsPaint(HWND child, LPARAM found) {
  if (GetUpdateRect(child, nullptr, FALSE)) {
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
  }
  return TRUE;
}

// Waits, at most 5 seconds, until the window and every window in it have
// painted what they were asked to: none has anything left to update, and the
// window's thread has returned from the paint it may still be in (a window
// is validated as its paint begins).
bool WaitUntilPainted(HWND window) {
  for (int i = 0; i < 500; ++i) {
    bool pending = GetUpdateRect(window, nullptr, FALSE) != FALSE;
    if (!pending) {
      EnumChildWindows(window, ChildNeedsPaint, reinterpret_cast<LPARAM>(&pending));
    }
    if (!pending) {
      DWORD_PTR ignored = 0;
      return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored) != 0;
    }
    Sleep(10);
  }
  return false;
}

// What the window shows at a point of its client area.
COLORREF PixelAt(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return colour;
}

int CountPixels(HWND window, RECT area, COLORREF colour) {
  HDC dc = GetDC(window);
  int count = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      count += GetPixel(dc, x, y) == colour ? 1 : 0;
    }
  }
  ReleaseDC(window, dc);
  return count;
}

TEST_F(UsageWindow, ShowsTheBannerTheGreyBandsAndTheBlueTextThenOkClosesItWithOk) {
  HWND button = form_.Element("cxButton1");
  std::atomic<HWND> focus{nullptr};
  bool painted = false;
  COLORREF banner = CLR_INVALID, white = CLR_INVALID, band1 = CLR_INVALID, band2 = CLR_INVALID;
  int blue = 0;
  TModalResult result = ShowModalWhile(form_, [&](HWND window) {
    // The window is shown a moment before the focus is put on OK.
    for (int i = 0; i < 100 && focus.load() == nullptr; ++i) {
      GUITHREADINFO info{};
      info.cbSize = sizeof info;
      GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
      focus = info.hwndFocus;
      if (focus.load() == nullptr) {
        Sleep(20);
      }
    }
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    painted = WaitUntilPainted(window);
    banner = PixelAt(window, 4, 4);
    white = PixelAt(window, 3, 300);
    band1 = PixelAt(window, 358, 196);
    band2 = PixelAt(window, 358, 334);
    blue = CountPixels(window, RECT{10, 393, 363, 433}, RGB(0, 0, 255));
    PostMessageA(button, BM_CLICK, 0, 0);
  });
  EXPECT_EQ(result, TModalResult::Ok);
  EXPECT_EQ(form_.ModalResult(), TModalResult::Ok);
  EXPECT_EQ(focus.load(), button) << "OK has the focus when the window opens";
  ASSERT_TRUE(painted) << "the window did not finish painting";
  // The banner is dark blue at its top left corner.
  EXPECT_GT(GetBValue(banner), GetRValue(banner) + 40) << std::hex << banner;
  EXPECT_EQ(white, RGB(255, 255, 255));
  EXPECT_EQ(band1, GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(band2, GetSysColor(COLOR_BTNFACE));
  EXPECT_GT(blue, 50) << "Label3 is written in blue";
  EXPECT_FALSE(IsWindowVisible(form_.Handle())) << "hidden when the modal loop ends";
}

TEST_F(UsageWindow, TheCloseBoxClosesItWithCancel) {
  TModalResult result =
      ShowModalWhile(form_, [](HWND window) { PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); });
  EXPECT_EQ(result, TModalResult::Cancel);
}

void PostKey(HWND target, WPARAM key) {
  PostMessageA(target, WM_KEYDOWN, key, 1);
  PostMessageA(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

// The keys are handled in the order they were posted: had Escape closed the
// window, the result would be the close box's, not OK's.
TEST_F(UsageWindow, EscapeDoesNothingAndEnterPressesOk) {
  HWND button = form_.Element("cxButton1");
  TModalResult result = ShowModalWhile(form_, [&](HWND) {
    PostKey(button, VK_ESCAPE);
    PostKey(button, VK_RETURN);
  });
  EXPECT_EQ(result, TModalResult::Ok);
}

TEST_F(UsageWindow, CxButton1ClickSetsTheModalResultToOk) {
  EXPECT_EQ(form_.ModalResult(), TModalResult::None);
  form_.cxButton1Click();
  EXPECT_EQ(form_.ModalResult(), TModalResult::Ok);
}

// ShowUsage in its own program, found and closed from outside as a user
// would: by its OK button, by its close box.
std::string HostCommandLine() {
  return "\"" + wmtest::HostPath(WM_USAGE_HOST_PATH) + "\"";
}

// OK, the close box, and Enter (after an Escape, which leaves it open) each
// end the program, which writes nothing to standard output.
TEST(UsageWindowProgram, OkTheCloseBoxOrEnterEndsItAndEscapeLeavesItOpen) {
  enum class Way { Ok, CloseBox, EscapeThenEnter };
  const std::pair<Way, const char*> ways[] = {
      {Way::Ok, "OK"}, {Way::CloseBox, "the close box"}, {Way::EscapeThenEnter, "Escape, Enter"}};
  for (const auto& [way, name] : ways) {
    SCOPED_TRACE(name);
    wmtest::WindowProbe probe(HostCommandLine());
    HWND window = probe.WaitForWindow(kExplanationFormClass);
    ASSERT_NE(window, nullptr) << probe.failure();
    EXPECT_EQ(WindowText(window), "");
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 371);
    EXPECT_EQ(client.bottom, 468);
    // The window is shown a moment before the focus is put on OK.
    HWND focus = probe.WaitForFocus(window);
    ASSERT_NE(focus, nullptr) << probe.failure();
    EXPECT_EQ(GetDlgCtrlID(focus), IDOK);
    if (way == Way::EscapeThenEnter) {
      ASSERT_TRUE(probe.PressKey(window, VK_ESCAPE));
      EXPECT_TRUE(probe.StillRunningAfter(500));
      EXPECT_TRUE(IsWindowVisible(window));
    }
    ASSERT_TRUE(way == Way::Ok         ? probe.PressOk(window)
                : way == Way::CloseBox ? probe.PressClose(window)
                                       : probe.PressKey(window, VK_RETURN));
    wmtest::ProcessResult run = probe.Wait();
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "");
  }
}

}  // namespace
}  // namespace wm
