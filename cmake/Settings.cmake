# Build settings shared by every target: warnings, sanitizers, static linking.
add_library(wm_settings INTERFACE)

if(MSVC)
  target_compile_options(wm_settings INTERFACE /W4 /utf-8)
  target_compile_definitions(wm_settings INTERFACE _CRT_SECURE_NO_WARNINGS)
  if(WM_WERROR)
    target_compile_options(wm_settings INTERFACE /WX)
  endif()
else()
  target_compile_options(wm_settings INTERFACE -Wall -Wextra -Wpedantic -Wshadow
                                               -Wnon-virtual-dtor -Wcast-qual)
  if(WM_WERROR)
    target_compile_options(wm_settings INTERFACE -Werror)
  endif()
endif()

if(WIN32)
  # ANSI Win32 calls throughout: every string is 8-bit in the ANSI code page.
  # The Windows version the code is written for is set per target: the
  # program's own code for XP (CMakeLists.txt), the tests for later systems.
  target_compile_definitions(wm_settings INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX)
endif()

if(WM_SANITIZE)
  if(MSVC OR WIN32)
    message(FATAL_ERROR "WM_SANITIZE is for the native Linux build")
  endif()
  target_compile_options(wm_settings INTERFACE -fsanitize=address,undefined
                                               -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_link_options(wm_settings INTERFACE -fsanitize=address,undefined)
endif()

# wm_shrink_mingw_program(<target>)
# A shipped MinGW program carries no symbols (except in Debug builds), and no
# C++ name demangler: the static libstdc++ links one (about 75 KiB) only for
# its default terminate handler, which prints the name of an uncaught
# exception's type before it aborts. The program catches every exception in
# main, so the handler is pointed at abort itself: std::terminate then ends the
# program as before, with status 3, only without that line on standard error.
function(wm_shrink_mingw_program target)
  target_link_options(${target} PRIVATE $<$<NOT:$<CONFIG:Debug>>:-s>)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(underscore "_")  # 32-bit C and C++ symbols carry a leading underscore
  else()
    set(underscore "")
  endif()
  target_link_options(${target} PRIVATE
    "LINKER:--defsym,${underscore}_ZN9__gnu_cxx27__verbose_terminate_handlerEv=${underscore}abort")
endfunction()
