# The program's version, from project(VERSION year.month.day), in the forms
# the program shows it:
#   WM_VERSION_DATE     20070621     banner, version resource strings, package name
#   WM_VERSION_NUMBERS  2007,6,21,0  version resource numbers
#   WM_VERSION_DOTTED   2007.6.21.0  manifest
# Code reads them from the generated header Version.h (in WM_GENERATED_DIR).
foreach(part MINOR PATCH)
  set(padded ${PROJECT_VERSION_${part}})
  if(padded LESS 10)
    set(padded 0${padded})
  endif()
  set(WM_VERSION_${part}_2 ${padded})
endforeach()
set(WM_VERSION_DATE
    "${PROJECT_VERSION_MAJOR}${WM_VERSION_MINOR_2}${WM_VERSION_PATCH_2}")
set(WM_VERSION_NUMBERS
    "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
set(WM_VERSION_DOTTED
    "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")

set(WM_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/Version.h.in ${WM_GENERATED_DIR}/Version.h @ONLY)
