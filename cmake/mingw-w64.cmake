# Cross build for Windows with Debian's MinGW-w64, shared by the four toolchain
# files mingw-w64-<arch>[-win32].cmake, which set:
#   WM_MINGW_ARCH     i686 (32-bit, the exe that ships) or x86_64
#   WM_MINGW_THREADS  posix (the tests: GoogleTest needs std::mutex) or win32
#                     (the shipped program: no winpthreads, whose GetTickCount64
#                     Windows XP lacks)
# Everything is linked statically, so that an exe needs no DLL beyond the
# system's own, and marked as loadable by Windows XP: subsystem and OS version
# 5.01 (32-bit XP) or 5.02 (XP x64), the highest its loader accepts.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${WM_MINGW_ARCH})

set(WM_MINGW_PREFIX ${WM_MINGW_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${WM_MINGW_PREFIX}-gcc-${WM_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${WM_MINGW_PREFIX}-g++-${WM_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${WM_MINGW_PREFIX}-windres)
set(CMAKE_MC_COMPILER ${WM_MINGW_PREFIX}-windmc)
set(CMAKE_OBJDUMP ${WM_MINGW_PREFIX}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${WM_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

if(WM_MINGW_ARCH STREQUAL "i686")
  set(WM_XP_VERSION_MINOR 1)
else()
  set(WM_XP_VERSION_MINOR 2)
endif()
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-static -static-libgcc -static-libstdc++ -Wl,--subsystem,console:5.0${WM_XP_VERSION_MINOR} -Wl,--major-os-version,5 -Wl,--minor-os-version,${WM_XP_VERSION_MINOR}")
