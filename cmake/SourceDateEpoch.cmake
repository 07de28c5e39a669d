# The time a build of the shipped program is dated with, so that the same
# sources give the same exe in any folder, on any machine, at any time: the
# PE header's link time stamp (and the zip's entry times, scripts/package.sh)
# are this time, not the clock's. Run as a script (cmake -P), in two modes:
#
#   cmake -DWM_EPOCH_FILE=<file> -DWM_EPOCH_SOURCE_DIR=<dir> -P SourceDateEpoch.cmake
#     Writes the time, in seconds since 1970, to <file> (only when it changed,
#     so that the exe is relinked only then): $SOURCE_DATE_EPOCH when it is set,
#     else the date of the commit checked out in <dir>, else 0 (no git, or not
#     a git checkout: a source archive).
#
#   cmake -DWM_EPOCH_FILE=<file> -P SourceDateEpoch.cmake -- <link command...>
#     Runs the link command with SOURCE_DATE_EPOCH set to the time in <file>
#     (the linker launcher of the shipped program): binutils' ld for PE takes
#     the time stamp from it.
if(NOT WM_EPOCH_FILE)
  message(FATAL_ERROR "SourceDateEpoch.cmake: WM_EPOCH_FILE is not set")
endif()

# The arguments after "--": the link command.
set(command)
set(after_separator OFF)
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(i RANGE 0 ${last})
  if(after_separator)
    list(APPEND command "${CMAKE_ARGV${i}}")
  elseif(CMAKE_ARGV${i} STREQUAL "--")
    set(after_separator ON)
  endif()
endforeach()

if(command)
  file(READ ${WM_EPOCH_FILE} epoch)
  string(STRIP "${epoch}" epoch)
  set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
  execute_process(COMMAND ${command} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    # The linker has said why; only the status is passed on.
    message(FATAL_ERROR "link failed (${status})")
  endif()
  return()
endif()

if(DEFINED ENV{SOURCE_DATE_EPOCH} AND NOT "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
  if(NOT epoch MATCHES "^[0-9]+$")
    message(FATAL_ERROR "SOURCE_DATE_EPOCH is \"${epoch}\", not a number of seconds since 1970")
  endif()
else()
  set(epoch 0)
  find_program(git git)
  if(git)
    execute_process(COMMAND ${git} -C ${WM_EPOCH_SOURCE_DIR} log -1 --format=%ct
                    RESULT_VARIABLE status OUTPUT_VARIABLE commit_time ERROR_QUIET
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(status EQUAL 0 AND commit_time MATCHES "^[0-9]+$")
      set(epoch ${commit_time})
    endif()
  endif()
endif()

set(old "")
if(EXISTS ${WM_EPOCH_FILE})
  file(READ ${WM_EPOCH_FILE} old)
endif()
if(NOT old STREQUAL "${epoch}\n")
  file(WRITE ${WM_EPOCH_FILE} "${epoch}\n")
endif()
