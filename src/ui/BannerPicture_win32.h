// Windows only: the usage window's banner artwork, a JPEG in the program's
// resources (resources/Banner.jpg), as a picture the window can draw.
#pragma once

#include <windows.h>
#include <olectl.h>

namespace wm {

// The banner JPEG from the program's resources, decoded by the system's OLE
// picture loader; nullptr when it is missing or cannot be decoded (the window
// then shows a white band instead). Called once the window's libraries are
// loaded (LoadWindowFunctions, WindowLibraries_win32.h).
IPicture* LoadBanner(HINSTANCE instance);

}  // namespace wm
