#include "support/CodePage.h"
#include "support/CodePage_win32.h"

#include <windows.h>

namespace wm {

std::string Utf8FromWide(std::wstring_view wide) {
  if (wide.empty()) {
    return std::string();
  }
  const int length = static_cast<int>(wide.size());
  int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, &text[0], size, nullptr, nullptr);
  }
  return text;
}

std::wstring WideFromCodePage(unsigned codePage, std::string_view text) {
  if (text.empty()) {
    return std::wstring();
  }
  const int length = static_cast<int>(text.size());
  int size = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
  std::wstring wide(static_cast<size_t>(size > 0 ? size : 0), L'\0');
  if (size > 0) {
    MultiByteToWideChar(codePage, 0, text.data(), length, &wide[0], size);
  }
  return wide;
}

AnsiText AnsiFromWide(std::wstring_view wide) {
  if (wide.empty()) {
    return AnsiText{};
  }
  // No best fit: a character the code page lacks becomes the default
  // character ("?"), never a look-alike (a Greek beta would be a German sharp
  // s, a fullwidth quote an ASCII one). UTF-8 takes no such flag.
  const DWORD flags = GetACP() == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const int length = static_cast<int>(wide.size());
  int size = WideCharToMultiByte(CP_ACP, flags, wide.data(), length, nullptr, 0, nullptr, nullptr);
  AnsiText ansi;
  ansi.text.assign(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_ACP, flags, wide.data(), length, &ansi.text[0], size, nullptr, nullptr);
  }
  // The default character cannot be told from a real "?" by its byte:
  // converting back tells.
  ansi.exact = size > 0 && WideFromCodePage(CP_ACP, ansi.text) == wide;
  return ansi;
}

AnsiText AnsiFromGiven(std::string_view given) {
  return AnsiFromWide(WideFromCodePage(CP_UTF8, given));
}

std::string GivenFromAnsi(std::string_view ansi) {
  return Utf8FromWide(WideFromCodePage(CP_ACP, ansi));
}

}  // namespace wm
