# Windows 64-bit, the shipped program (win32 thread model). See mingw-w64.cmake.
set(WM_MINGW_ARCH x86_64)
set(WM_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
