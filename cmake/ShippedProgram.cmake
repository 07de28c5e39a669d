# The shipped program of a Windows cross build, built by a build of its own.
#
# GoogleTest needs the posix thread model of MinGW-w64, whose static runtime
# (winpthreads) imports functions that Windows XP lacks; the win32 thread
# model does not, but GoogleTest cannot be built with it. So this build (the
# core, the tests) uses the posix compilers, and the program that ships is
# built from the same sources in <build>/shipped with the toolchain file
# WM_SHIP_TOOLCHAIN. Its exe, and the benchmark's empty and floor programs
# built the same way, are copied to the top of this build folder; the end-to-end tests
# run that very exe. The target is called Wendelmarquistone, as the program's
# is in a build without WM_SHIP_TOOLCHAIN. The time the exe is dated with
# (source-date-epoch, see wm_reproducible_mingw_program) comes along, for the
# package's entry times, and so do the exe's link map and the list of its
# build tools (wm_record_mingw_link), for the package's notices.
include(ExternalProject)

set(WM_SHIPPED_DIR ${CMAKE_BINARY_DIR}/shipped)
set(WM_EMPTY_PROGRAM_FILE ${CMAKE_BINARY_DIR}/empty_program.exe)
set(WM_FLOOR_PROGRAM_FILE ${CMAKE_BINARY_DIR}/floor_program.exe)

ExternalProject_Add(Wendelmarquistone
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${WM_SHIPPED_DIR}
  CMAKE_GENERATOR ${CMAKE_GENERATOR}
  CMAKE_CACHE_ARGS
    -DCMAKE_TOOLCHAIN_FILE:FILEPATH=${WM_SHIP_TOOLCHAIN}
    -DCMAKE_BUILD_TYPE:STRING=${CMAKE_BUILD_TYPE}
    -DWM_BUILD_TESTS:BOOL=OFF
    -DWM_WERROR:BOOL=${WM_WERROR}
  BUILD_COMMAND ${CMAKE_COMMAND} --build ${WM_SHIPPED_DIR} --target Wendelmarquistone empty_program
                floor_program
  INSTALL_COMMAND ${CMAKE_COMMAND} -E copy_if_different ${WM_SHIPPED_DIR}/Wendelmarquistone.exe
                  ${WM_SHIPPED_DIR}/empty_program.exe ${WM_SHIPPED_DIR}/floor_program.exe
                  ${WM_SHIPPED_DIR}/source-date-epoch
                  ${WM_SHIPPED_DIR}/Wendelmarquistone.map ${WM_SHIPPED_DIR}/build-tools
                  ${CMAKE_BINARY_DIR}
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${WM_PROGRAM_FILE} ${WM_EMPTY_PROGRAM_FILE} ${WM_FLOOR_PROGRAM_FILE}
  USES_TERMINAL_BUILD ON)
# The benchmark's programs come with it.
foreach(program empty_program floor_program)
  add_custom_target(${program})
  add_dependencies(${program} Wendelmarquistone)
endforeach()
