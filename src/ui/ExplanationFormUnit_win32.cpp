#include "ui/ExplanationFormUnit.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <olectl.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "support/CodePage_win32.h"
#include "support/SystemLibrary_win32.h"
#include "ui/BannerPicture_win32.h"
#include "ui/ExplanationFormUnit_win32.h"
#include "ui/WindowLibraries_win32.h"

namespace wm {

const char kExplanationFormClass[] = "WendelmarquistoneExplanationForm";

namespace {

const char kPanelClass[] = "WendelmarquistonePanel";
const int kFirstElementId = 100;  // element i has control id 100 + i; the button has IDOK

// True when this process's window station is one a user can see. Services and
// scheduled tasks run on invisible ones, where a window would wait forever
// for a click nobody can make.
bool InteractiveDesktop() {
  HWINSTA station = Win().GetProcessWindowStation();
  if (station == nullptr) {
    return false;
  }
  USEROBJECTFLAGS flags{};
  DWORD needed = 0;
  if (!Win().GetUserObjectInformationA(station, UOI_FLAGS, &flags, sizeof flags, &needed)) {
    return false;
  }
  return (flags.dwFlags & WSF_VISIBLE) != 0;
}

COLORREF TextColour(UsageColour colour) {
  switch (colour) {
    case UsageColour::Black:
      return RGB(0, 0, 0);
    case UsageColour::Blue:
      return RGB(0, 0, 255);
    case UsageColour::WindowText:
      break;
  }
  return Win().GetSysColor(COLOR_WINDOWTEXT);
}

// The panels forward their children's colour questions to the window, which
// knows every element.
LRESULT CALLBACK PanelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CTLCOLORSTATIC) {
    return Win().SendMessageA(Win().GetParent(hwnd), message, wParam, lParam);
  }
  return Win().DefWindowProcA(hwnd, message, wParam, lParam);
}

struct FontDeleter {
  void operator()(HFONT font) const {
    if (font != nullptr) {
      Win().DeleteObject(font);
    }
  }
};
using FontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

FontHandle MakeFont(const char* face, int pixels, bool bold) {
  LOGFONTA font{};
  font.lfHeight = -pixels;  // character height, as the toolkit's 8 points at 96 DPI
  font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily =
      static_cast<BYTE>(std::strcmp(face, "Lucida Console") == 0 ? FIXED_PITCH | FF_MODERN
                                                                 : VARIABLE_PITCH | FF_SWISS);
  lstrcpynA(font.lfFaceName, face, LF_FACESIZE);
  return FontHandle(Win().CreateFontIndirectA(&font));
}

// Asked for by the manifest, Common Controls 6 draws the buttons; on XP its
// classes are registered only once InitCommonControlsEx has been called. It
// is loaded here, as the window's other libraries are (WindowLibraries_win32.h):
// every process that imports it runs its start-up code, which made a run
// without the window (every logon) cost 1.5 times the floor (CONTRIBUTING.md).
void LoadCommonControls() {
  using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  auto init =
      LibraryFunction<InitFunction>(LoadSystemLibrary("comctl32.dll"), "InitCommonControlsEx");
  if (init != nullptr) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    init(&controls);
  }
  // Without it, the system's own controls draw the window.
}

}  // namespace

struct TExplanationForm::Impl {
  TExplanationForm* owner = nullptr;
  HWND hwnd = nullptr;
  std::vector<HWND> elements;  // parallel to UsageElements()
  FontHandle fonts[4];         // indexed by UsageFont
  IPicture* picture = nullptr;
  bool comInitialised = false;
  int dpi = 96;
  TModalResult modalResult = TModalResult::None;

  ~Impl() {
    if (hwnd != nullptr) {
      Win().DestroyWindow(hwnd);  // children first, then the fonts they use go below
    }
    if (picture != nullptr) {
      picture->Release();
    }
    if (comInitialised) {
      Win().CoUninitialize();
    }
  }

  int Scale(int pixels) const { return MulDiv(pixels, dpi, 96); }

  void SetModalResult(TModalResult result) {
    modalResult = result;
    // Wakes the modal loop when the result was set from a message sent by
    // another thread, which GetMessage handles without returning.
    if (hwnd != nullptr) {
      Win().PostMessageA(hwnd, WM_NULL, 0, 0);
    }
  }

  const UsageElement* ElementOf(HWND control) const {
    for (size_t i = 0; i < elements.size(); ++i) {
      if (elements[i] == control) {
        return &UsageElements()[i];
      }
    }
    return nullptr;
  }

  HWND Button() const {
    for (size_t i = 0; i < elements.size(); ++i) {
      if (UsageElements()[i].kind == UsageKind::Button) {
        return elements[i];
      }
    }
    return nullptr;
  }

  LRESULT ColourStatic(HDC dc, HWND control) {
    const UsageElement* element = ElementOf(control);
    if (element == nullptr) {
      return Win().DefWindowProcA(hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                  reinterpret_cast<LPARAM>(control));
    }
    Win().SetTextColor(dc, TextColour(element->colour));
    switch (element->background) {
      case UsageBackground::Transparent:
        Win().SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(Win().GetStockObject(NULL_BRUSH));
      case UsageBackground::Panel:
        Win().SetBkColor(dc, Win().GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(Win().GetSysColorBrush(COLOR_BTNFACE));
      case UsageBackground::Window:
        break;
    }
    Win().SetBkColor(dc, RGB(255, 255, 255));
    return reinterpret_cast<LRESULT>(Win().GetStockObject(WHITE_BRUSH));
  }

  void DrawPicture(const DRAWITEMSTRUCT& item) {
    const RECT& box = item.rcItem;
    if (picture == nullptr) {
      Win().FillRect(item.hDC, &box, static_cast<HBRUSH>(Win().GetStockObject(WHITE_BRUSH)));
      return;
    }
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture->get_Width(&width);
    picture->get_Height(&height);
    // Source rectangles are in HIMETRIC, bottom-up.
    picture->Render(item.hDC, box.left, box.top, box.right - box.left, box.bottom - box.top, 0,
                    height, width, -height, nullptr);
  }

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_CTLCOLORSTATIC:
        return ColourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
      case WM_CTLCOLORBTN:
        return reinterpret_cast<LRESULT>(Win().GetStockObject(WHITE_BRUSH));
      case WM_DRAWITEM:
        DrawPicture(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
      case WM_COMMAND:
        // Escape arrives as IDCANCEL and is ignored: only OK and the close
        // box end the window.
        if (LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED) {
          owner->cxButton1Click();
        }
        return 0;
      case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && Button() != nullptr) {
          Win().SetFocus(Button());
        }
        return 0;
      case WM_CLOSE:
        SetModalResult(TModalResult::Cancel);  // hidden by ShowModal, destroyed by its owner
        return 0;
      case WM_DESTROY:
        if (modalResult == TModalResult::None) {
          modalResult = TModalResult::Cancel;
        }
        hwnd = nullptr;
        return 0;
      default:
        return Win().DefWindowProcA(hwnd, message, wParam, lParam);
    }
  }

  static LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      auto* self = static_cast<Impl*>(create->lpCreateParams);
      self->hwnd = window;
      Win().SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Impl*>(Win().GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
      Win().SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    }
    if (self == nullptr || self->hwnd != window) {
      return Win().DefWindowProcA(window, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
  }

  static bool RegisterClasses(HINSTANCE instance) {
    WNDCLASSEXA form{};
    form.cbSize = sizeof form;
    form.lpfnWndProc = FormProc;
    form.hInstance = instance;
    form.hCursor = Win().LoadCursorA(nullptr, IDC_ARROW);
    form.hbrBackground = static_cast<HBRUSH>(Win().GetStockObject(WHITE_BRUSH));
    form.lpszClassName = kExplanationFormClass;
    WNDCLASSEXA panel = form;
    panel.lpfnWndProc = PanelProc;
    panel.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    panel.lpszClassName = kPanelClass;
    for (const WNDCLASSEXA* windowClass : {&form, &panel}) {
      if (Win().RegisterClassExA(windowClass) == 0 &&
          GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return false;
      }
    }
    return true;
  }

  // The program declares itself DPI-aware, so the layout, given for 96 pixels
  // per inch, and its fonts are scaled here for the system's setting.
  void ScaleForTheScreen() {
    if (HDC screen = Win().GetDC(nullptr)) {
      const int screenDpi = Win().GetDeviceCaps(screen, LOGPIXELSY);
      Win().ReleaseDC(nullptr, screen);
      dpi = screenDpi > 0 ? screenDpi : dpi;
    }
    const int fontPixels = Scale(11);
    fonts[static_cast<int>(UsageFont::Default)] = MakeFont("MS Sans Serif", fontPixels, false);
    fonts[static_cast<int>(UsageFont::Bold)] = MakeFont("MS Sans Serif", fontPixels, true);
    fonts[static_cast<int>(UsageFont::Mono)] = MakeFont("Lucida Console", fontPixels, false);
    fonts[static_cast<int>(UsageFont::MonoBold)] = MakeFont("Lucida Console", fontPixels, true);
  }

  // A dialog frame that cannot be resized, a system menu with the close box,
  // no minimise or maximise button, no title, centred; then its elements.
  bool CreateWindowWithElements(HINSTANCE instance) {
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CONTROLPARENT;
    RECT frame{0, 0, Scale(kUsageClientWidth), Scale(kUsageClientHeight)};
    Win().AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int x = std::max(0, (Win().GetSystemMetrics(SM_CXSCREEN) - width) / 2);
    const int y = std::max(0, (Win().GetSystemMetrics(SM_CYSCREEN) - height) / 2);
    if (Win().CreateWindowExA(exStyle, kExplanationFormClass, "", style, x, y, width, height,
                              nullptr, nullptr, instance, this) == nullptr) {
      return false;
    }
    // Like a dialog box's: Move and Close only.
    if (HMENU menu = Win().GetSystemMenu(hwnd, FALSE)) {
      for (UINT command : {SC_RESTORE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE}) {
        Win().DeleteMenu(menu, command, MF_BYCOMMAND);
      }
    }
    if (!CreateElements(instance)) {
      Win().DestroyWindow(hwnd);
      elements.clear();
      return false;
    }
    return true;
  }

  bool CreateElements(HINSTANCE instance) {
    const std::vector<UsageElement>& table = UsageElements();
    for (size_t i = 0; i < table.size(); ++i) {
      const UsageElement& element = table[i];
      HWND parent = hwnd;
      if (element.parent != nullptr) {
        const UsageElement* panel = FindUsageElement(element.parent);
        parent = panel != nullptr ? elements[static_cast<size_t>(panel - table.data())] : nullptr;
      }
      const char* windowClass = "STATIC";
      DWORD style = WS_CHILD | WS_VISIBLE;
      INT_PTR id = kFirstElementId + static_cast<INT_PTR>(i);
      switch (element.kind) {
        case UsageKind::Picture:
          style |= SS_OWNERDRAW;
          break;
        case UsageKind::Panel:
          windowClass = kPanelClass;
          break;
        case UsageKind::Label:
          style |= SS_LEFT | SS_NOPREFIX;
          break;
        case UsageKind::SingleLineLabel:
          style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX;
          break;
        case UsageKind::Button:
          windowClass = "BUTTON";
          style |= WS_TABSTOP | BS_DEFPUSHBUTTON;
          id = IDOK;
          break;
      }
      std::string text = element.kind == UsageKind::Button
                             ? std::string(element.text)  // keeps a mnemonic, if any
                             : DisplayText(element.text);
      // The texts are stored in code page 1252; shown through the wide API,
      // "\xAE" is "®" whatever the system's ANSI code page (on a Thai system
      // that byte is a letter, on an East Asian one it starts a character).
      HWND child = Win().CreateWindowExW(
          0, WideFromCodePage(CP_ACP, windowClass).c_str(), WideFromCodePage(1252, text).c_str(),
          style, Scale(element.box.left), Scale(element.box.top), Scale(element.box.width),
          Scale(element.box.height), parent, reinterpret_cast<HMENU>(id), instance, nullptr);
      if (child == nullptr) {
        return false;
      }
      Win().SendMessageA(child, WM_SETFONT,
                         reinterpret_cast<WPARAM>(fonts[static_cast<int>(element.font)].get()),
                         FALSE);
      elements.push_back(child);
    }
    return true;
  }
};

TExplanationForm::TExplanationForm() : impl_(std::make_unique<Impl>()) {
  impl_->owner = this;
}

TExplanationForm::~TExplanationForm() = default;

bool TExplanationForm::Create() {
  Impl& form = *impl_;
  if (form.hwnd != nullptr) {
    return true;
  }
  // Every call of the window's into user32, gdi32, ole32 and oleaut32 goes
  // through the table loaded here (Win()); where it cannot be, no window.
  if (LoadWindowFunctions() == nullptr || !InteractiveDesktop()) {
    return false;
  }
  LoadCommonControls();
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!Impl::RegisterClasses(instance)) {
    return false;
  }
  form.ScaleForTheScreen();
  form.comInitialised = SUCCEEDED(Win().CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  form.picture = LoadBanner(instance);
  return form.CreateWindowWithElements(instance);
}

TModalResult TExplanationForm::ShowModal() {
  Impl& form = *impl_;
  if (form.hwnd == nullptr) {
    return TModalResult::Cancel;
  }
  form.modalResult = TModalResult::None;
  Win().ShowWindow(form.hwnd, SW_SHOWNORMAL);
  Win().SetForegroundWindow(form.hwnd);
  Win().UpdateWindow(form.hwnd);
  if (HWND button = form.Button()) {
    Win().SetFocus(button);
  }
  MSG message{};
  while (form.modalResult == TModalResult::None) {
    BOOL got = Win().GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
      // WM_QUIT belongs to an outer loop: end this one and pass it on.
      Win().PostQuitMessage(static_cast<int>(message.wParam));
      form.modalResult = TModalResult::Cancel;
      break;
    }
    if (got == -1) {
      form.modalResult = TModalResult::Cancel;
      break;
    }
    if (form.hwnd == nullptr || !Win().IsDialogMessageA(form.hwnd, &message)) {
      Win().TranslateMessage(&message);
      Win().DispatchMessageA(&message);
    }
  }
  if (form.hwnd != nullptr) {
    Win().ShowWindow(form.hwnd, SW_HIDE);
  }
  return form.modalResult;
}

void TExplanationForm::cxButton1Click() {
  impl_->SetModalResult(TModalResult::Ok);
}

TModalResult TExplanationForm::ModalResult() const {
  return impl_->modalResult;
}

HWND__* TExplanationForm::Handle() const {
  return impl_->hwnd;
}

HWND__* TExplanationForm::Element(const char* name) const {
  const UsageElement* element = FindUsageElement(name);
  if (element == nullptr) {
    return nullptr;
  }
  size_t index = static_cast<size_t>(element - UsageElements().data());
  return index < impl_->elements.size() ? impl_->elements[index] : nullptr;
}

int TExplanationForm::Dpi() const {
  return impl_->dpi;
}

// The window when there is a desktop to show it on; otherwise the same
// information as text, so that nothing is lost and nothing waits.
Status ShowUsage() {
  {
    TExplanationForm form;
    if (form.Create()) {
      form.ShowModal();
      return Status::Ok();
    }
  }
  return WriteUsageText();
}

}  // namespace wm
