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
  # Text is UTF-8 as given (the command line is read wide) until it is
  # converted to the ANSI code page for the profile, the registry and the
  # ANSI Win32 calls (support/CodePage.h). The Windows version the code is
  # written for is set per target: the program's own code for XP
  # (CMakeLists.txt), the tests for later systems.
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

# wm_harden_mingw_program(<target>)
# A shipped MinGW program's header asks Windows for what Microsoft's linker
# asks for by default, each named here rather than left to ld's defaults
# (tests/release/check-exe-header.sh checks the result): relocation anywhere
# (ASLR) and, for the 64-bit exe, anywhere in its address space; data never
# executed (DEP); and Terminal Server awareness, without which a Remote
# Desktop Session Host maps the program's Windows folder, INI files and
# registry per user, which the program neither needs nor is tested with. The
# 32-bit exe is also marked as registering no structured exception handler,
# which it does not: GCC's C++ exceptions there unwind by DWARF tables, not
# by handlers on the stack, and neither the program nor the runtime linked in
# pushes one (the release check looks for any code that touches the chain);
# so no handler in it can ever be taken from the stack, the protection that
# the SafeSEH tables ld cannot write would give.
function(wm_harden_mingw_program target)
  target_link_options(${target} PRIVATE LINKER:--dynamicbase LINKER:--nxcompat LINKER:--tsaware)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    target_link_options(${target} PRIVATE LINKER:--high-entropy-va)
  else()
    target_link_options(${target} PRIVATE LINKER:--no-seh)
  endif()
endfunction()

# wm_reproducible_mingw_program(<target>)
# The same sources give the same exe, byte for byte, in any build folder, on
# any machine, at any time. The one thing ld would otherwise take from the
# build is the clock: the PE header's link time stamp (and the checksum over
# it). Here it is the time cmake/SourceDateEpoch.cmake chooses
# ($SOURCE_DATE_EPOCH, else the commit's date), written to
# <build>/source-date-epoch at every build and read by the link through a
# launcher that sets SOURCE_DATE_EPOCH, which ld uses for the time stamp; the
# exe is relinked when that time changes. Paths of the source and build
# folders are mapped away where the compiler would write them (__FILE__,
# debug information), though a stripped release build holds none today.
function(wm_reproducible_mingw_program target)
  set(epoch_file ${CMAKE_BINARY_DIR}/source-date-epoch)
  set(script ${CMAKE_SOURCE_DIR}/cmake/SourceDateEpoch.cmake)
  if(NOT TARGET wm_source_date_epoch)
    add_custom_target(wm_source_date_epoch
      COMMAND ${CMAKE_COMMAND} -DWM_EPOCH_FILE=${epoch_file}
              -DWM_EPOCH_SOURCE_DIR=${CMAKE_SOURCE_DIR} -P ${script}
      BYPRODUCTS ${epoch_file}
      COMMENT "The build's date: SOURCE_DATE_EPOCH or the commit's"
      VERBATIM)
  endif()
  add_dependencies(${target} wm_source_date_epoch)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${epoch_file})
  set_property(TARGET ${target} PROPERTY CXX_LINKER_LAUNCHER
               ${CMAKE_COMMAND} -DWM_EPOCH_FILE=${epoch_file} -P ${script} --)
  target_link_options(${target} PRIVATE LINKER:--insert-timestamp)
endfunction()

if(MINGW)
  # See wm_reproducible_mingw_program. The build folder may lie inside the
  # source folder; of two maps that match, the compiler takes the later one.
  target_compile_options(wm_settings INTERFACE
    $<$<COMPILE_LANGUAGE:CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=>
    $<$<COMPILE_LANGUAGE:CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}/=>)
endif()

# wm_record_mingw_link(<target>)
# What went into a shipped exe, for its package's third-party notices and bill
# of materials (scripts/package.sh): the linker's map, <build>/<target>.map,
# which names every object file and archive member linked in, and
# <build>/build-tools, the compiler, linker and resource compiler that built
# it, one "role path" a line. The map changes nothing in the exe.
function(wm_record_mingw_link target)
  target_link_options(${target} PRIVATE LINKER:-Map=${CMAKE_BINARY_DIR}/${target}.map)
  set_property(TARGET ${target} APPEND PROPERTY ADDITIONAL_CLEAN_FILES
               ${CMAKE_BINARY_DIR}/${target}.map)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-prog-name=ld
                  OUTPUT_VARIABLE linker OUTPUT_STRIP_TRAILING_WHITESPACE)
  find_program(linker_path ${linker} NO_CACHE)
  find_program(rc_path ${CMAKE_RC_COMPILER} NO_CACHE)
  file(WRITE ${CMAKE_BINARY_DIR}/build-tools
       "compiler ${CMAKE_CXX_COMPILER}\nlinker ${linker_path}\nresource-compiler ${rc_path}\n")
endfunction()
