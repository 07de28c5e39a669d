# Test set-up for both builds.
#
# Natively, GoogleTest comes from Debian's packages and every test case is its
# own ctest test. In the Windows cross build, GoogleTest is built from Debian's
# source package with the cross compiler, and each test executable runs as one
# ctest test under Wine, in a private prefix inside the build folder, with a
# persistent wineserver and a headless X server started by a fixture.

set(WM_TEST_TIMEOUT 60 CACHE STRING "Seconds before ctest kills a test")

if(CMAKE_CROSSCOMPILING AND WIN32)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(WM_GTEST_LIBS GTest::gtest GTest::gtest_main)

  find_program(WM_WINE wine REQUIRED)
  set(WM_WINE_STATE ${CMAKE_BINARY_DIR}/wine)
  set(WM_WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh ${WM_WINE_STATE})
  set(CMAKE_CROSSCOMPILING_EMULATOR ${WM_WINE_RUN})

  add_test(NAME wine_environment_start
           COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-env.sh start ${WM_WINE_STATE})
  set_tests_properties(wine_environment_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 180)
  add_test(NAME wine_environment_stop
           COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-env.sh stop ${WM_WINE_STATE})
  set_tests_properties(wine_environment_stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60)
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
  set(WM_GTEST_LIBS GTest::gtest GTest::gtest_main)
endif()

# Helpers shared by the tests: temporary folders, file contents, running the
# program as a separate process.
add_library(wmtestsupport STATIC)
target_include_directories(wmtestsupport PUBLIC ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(wmtestsupport PUBLIC wm_settings GTest::gtest)
target_compile_definitions(wmtestsupport PUBLIC
  WM_PROGRAM_PATH="$<TARGET_FILE:Wendelmarquistone>"
  WM_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
target_sources(wmtestsupport PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/TestSupport.cpp)
if(WIN32)
  target_sources(wmtestsupport PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/Process_win32.cpp)
  # Finding a started program's window and pressing its OK button or close box.
  target_sources(wmtestsupport PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/WindowProbe_win32.cpp)
  target_link_libraries(wmtestsupport PUBLIC user32)
else()
  target_sources(wmtestsupport PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/Process_posix.cpp)
endif()

# wm_add_test(<name> SOURCES <files...> [LIBS <libs...>] [NEEDS_PROGRAM])
# Builds one GoogleTest executable linked against the core and registers it
# with a timeout. NEEDS_PROGRAM makes it depend on the built program.
function(wm_add_test name)
  cmake_parse_arguments(ARG "NEEDS_PROGRAM" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE wmcore wmtestsupport ${ARG_LIBS} ${WM_GTEST_LIBS})
  if(ARG_NEEDS_PROGRAM)
    add_dependencies(${name} Wendelmarquistone)
  endif()
  if(CMAKE_CROSSCOMPILING AND WIN32)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT ${WM_TEST_TIMEOUT}
                                            RESOURCE_LOCK wine_registry)
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30
                         PROPERTIES TIMEOUT ${WM_TEST_TIMEOUT})
  endif()
endfunction()

if(CMAKE_CROSSCOMPILING AND WIN32)
  add_test(NAME exe_imports_only_system_dlls
           COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-imports.sh ${CMAKE_OBJDUMP}
                   $<TARGET_FILE:Wendelmarquistone>)
  set_tests_properties(exe_imports_only_system_dlls PROPERTIES TIMEOUT 30)
endif()
