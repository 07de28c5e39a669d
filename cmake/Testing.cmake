# Test set-up for both builds.
#
# Natively, GoogleTest comes from Debian's packages and every test case is its
# own ctest test. In the Windows cross builds, GoogleTest is built from
# Debian's source package with the cross compiler, and each test executable
# runs as one ctest test under Wine, in a private prefix inside the build
# folder, with a persistent wineserver and a headless X server started by a
# fixture (scripts/wine.sh start). The fixture also runs a tiny probe program
# of the build's own kind: where Wine cannot run it (a 32-bit build on a
# machine whose kernel runs no 32-bit code), every test that runs a Windows
# program reports SKIPPED with the reason (exit status 77, from scripts/wine.sh
# run) instead of passing without having run.

set(WM_TEST_TIMEOUT 60 CACHE STRING "Seconds before ctest kills a test")
set(WM_SKIP_STATUS 77)

if(CMAKE_CROSSCOMPILING AND WIN32)
  set(WM_WINE_TESTS ON)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

  find_program(WM_WINE wine REQUIRED)
  set(WM_WINE_STATE ${CMAKE_BINARY_DIR}/wine)
  # A second environment, with no display, for the tests of what a program
  # without one does (see scripts/wine.sh for why they cannot share the
  # first); its tests run beside those of the first.
  set(WM_WINE_STATE_NO_DISPLAY ${CMAKE_BINARY_DIR}/wine-no-display)
  set(WM_WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine.sh run ${WM_WINE_STATE})
  set(CMAKE_CROSSCOMPILING_EMULATOR ${WM_WINE_RUN})
else()
  set(WM_WINE_TESTS OFF)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()
set(WM_GTEST_LIBS GTest::gtest GTest::gtest_main)

# wm_add_test(<name> SOURCES <files...> [LIBS <libs...>] [NEEDS_PROGRAM]
#             [NEEDS_USAGE_HOST] [SHARED_STATE])
# Builds one GoogleTest executable linked against the core and registers it
# with a timeout. NEEDS_PROGRAM makes it depend on the program (whose exe is
# WM_PROGRAM_PATH in the test's code), NEEDS_USAGE_HOST on the program that
# only shows the usage window (WM_USAGE_HOST_PATH). SHARED_STATE: under Wine,
# the test changes the prefix's registry or the user's files, or shows
# windows, so it runs alone (see wm_wine_test_properties).
function(wm_add_test name)
  cmake_parse_arguments(ARG "NEEDS_PROGRAM;NEEDS_USAGE_HOST;SHARED_STATE" "" "SOURCES;LIBS"
                        ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE wmcore wmtestsupport ${ARG_LIBS} ${WM_GTEST_LIBS})
  if(ARG_NEEDS_PROGRAM)
    add_dependencies(${name} Wendelmarquistone)
  endif()
  if(ARG_NEEDS_USAGE_HOST)
    add_dependencies(${name} usage_window_host)
    target_compile_definitions(${name} PRIVATE
      WM_USAGE_HOST_PATH="$<TARGET_FILE:usage_window_host>")
  endif()
  if(WM_WINE_TESTS)
    add_test(NAME ${name} COMMAND ${name})
    if(ARG_SHARED_STATE)
      wm_wine_test_properties(${name} ${WM_TEST_TIMEOUT} SHARED_STATE)
    else()
      wm_wine_test_properties(${name} ${WM_TEST_TIMEOUT})
    endif()
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30
                         PROPERTIES TIMEOUT ${WM_TEST_TIMEOUT})
  endif()
endfunction()

# wm_wine_test_properties(<test> <timeout> [SHARED_STATE] [ENVIRONMENT <fixture>])
# A test that runs Windows programs under Wine: it needs its environment's
# fixture (by default `wine`, the one in WM_WINE_STATE), and it is skipped
# where the build's programs cannot run. SHARED_STATE: it changes the
# prefix's registry or the user's files, or shows windows on the display, so
# no two such tests of one environment run at once; the others, and those of
# another environment, run beside them.
function(wm_wine_test_properties test timeout)
  cmake_parse_arguments(ARG "SHARED_STATE" "ENVIRONMENT" "" ${ARGN})
  if(NOT ARG_ENVIRONMENT)
    set(ARG_ENVIRONMENT wine)
  endif()
  set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED ${ARG_ENVIRONMENT}
                                          TIMEOUT ${timeout}
                                          SKIP_RETURN_CODE ${WM_SKIP_STATUS})
  if(ARG_SHARED_STATE)
    set_tests_properties(${test} PROPERTIES RESOURCE_LOCK ${ARG_ENVIRONMENT}_prefix_state)
  endif()
endfunction()

# wm_wine_environment(<fixture> <state-dir> [--no-display])
# A Wine environment (prefix, headless X unless --no-display, persistent
# wineserver; see scripts/wine.sh) as a ctest fixture:
# <fixture>_environment_start and _stop. The start runs the probe program, so
# that the tests of a build whose programs cannot run here are skipped, not
# passed.
function(wm_wine_environment fixture state)
  add_test(NAME ${fixture}_environment_start
           COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine.sh start ${state} ${ARGN}
                   $<TARGET_FILE:wine_probe>)
  set_tests_properties(${fixture}_environment_start PROPERTIES FIXTURES_SETUP ${fixture}
                                                               TIMEOUT 180)
  add_test(NAME ${fixture}_environment_stop
           COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine.sh stop ${state})
  set_tests_properties(${fixture}_environment_stop PROPERTIES FIXTURES_CLEANUP ${fixture}
                                                              TIMEOUT 60)
endfunction()
