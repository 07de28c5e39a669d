#include "ui/BannerPicture_win32.h"

#include <cstring>

#include <objbase.h>

#include "ui/WindowLibraries_win32.h"
#include "ui/resources/ResourceIds.h"

namespace wm {

IPicture* LoadBanner(HINSTANCE instance) {
  HRSRC info = FindResourceA(instance, MAKEINTRESOURCEA(WM_RESOURCE_BANNER), RT_RCDATA);
  if (info == nullptr) {
    return nullptr;
  }
  HGLOBAL resource = LoadResource(instance, info);
  DWORD size = SizeofResource(instance, info);
  const void* bytes = resource != nullptr ? LockResource(resource) : nullptr;
  if (bytes == nullptr || size == 0) {
    return nullptr;
  }
  HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
  if (copy == nullptr) {
    return nullptr;
  }
  void* target = GlobalLock(copy);
  if (target == nullptr) {
    GlobalFree(copy);
    return nullptr;
  }
  std::memcpy(target, bytes, size);
  GlobalUnlock(copy);
  IStream* stream = nullptr;
  if (FAILED(Win().CreateStreamOnHGlobal(copy, TRUE, &stream))) {
    GlobalFree(copy);
    return nullptr;
  }
  IPicture* picture = nullptr;
  HRESULT loaded = Win().OleLoadPicture(stream, static_cast<LONG>(size), FALSE, __uuidof(IPicture),
                                        reinterpret_cast<void**>(&picture));
  stream->Release();  // frees the copy as well
  return SUCCEEDED(loaded) ? picture : nullptr;
}

}  // namespace wm
