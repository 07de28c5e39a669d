# Cross build of the Windows program with Debian's MinGW-w64 (posix thread model,
# which GoogleTest needs for std::mutex). Everything is linked statically so that
# the exe needs no DLL beyond the system's own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(WM_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${WM_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${WM_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${WM_MINGW_PREFIX}-windres)
set(CMAKE_OBJDUMP ${WM_MINGW_PREFIX}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${WM_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
