#include "ui/BannerPicture_win32.h"

#include <cstring>

#include <objbase.h>

#include "ui/resources/ResourceIds.h"

namespace wm {

namespace {

// The OLE picture loader, from oleaut32 loaded here, when the window is made,
// and not imported: every process that imports it loads and starts it, which
// cost a run without the window (every logon) a few per cent of its time
// under Wine. Once loaded it stays, for the picture made by its code.
using LoadPictureFunction = HRESULT(WINAPI*)(IStream*, LONG, BOOL, REFIID, void**);

LoadPictureFunction PictureLoader() {
  HMODULE library = LoadLibraryA("oleaut32.dll");
  if (library == nullptr) {
    return nullptr;
  }
  // Through a pointer to a function without parameters, which converts to
  // and from any other function pointer without a warning.
  return reinterpret_cast<LoadPictureFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(library, "OleLoadPicture")));
}

}  // namespace

IPicture* LoadBanner(HINSTANCE instance) {
  LoadPictureFunction loadPicture = PictureLoader();
  if (loadPicture == nullptr) {
    return nullptr;
  }
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
  if (FAILED(CreateStreamOnHGlobal(copy, TRUE, &stream))) {
    GlobalFree(copy);
    return nullptr;
  }
  IPicture* picture = nullptr;
  HRESULT loaded = loadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                               reinterpret_cast<void**>(&picture));
  stream->Release();  // frees the copy as well
  return SUCCEEDED(loaded) ? picture : nullptr;
}

}  // namespace wm
