# The program's resources (src/main/resources), set up here, before the
# folders are added, since the usage window's tests link them in too. Besides
# the version information and the manifest, the resource script takes in the
# usage window's banner (src/ui/resources) and the event log's message table
# (made by src/support).
if(WIN32)
  enable_language(RC)
  configure_file(${CMAKE_SOURCE_DIR}/src/main/resources/Wendelmarquistone.manifest.in
                 ${WM_GENERATED_DIR}/Wendelmarquistone.manifest @ONLY)
endif()

# wm_add_program_resources(<target>)
# Links the program's resources into a Windows executable: the program itself,
# and the test programs that show the usage window or read the resources.
function(wm_add_program_resources target)
  set(script ${CMAKE_SOURCE_DIR}/src/main/resources/Wendelmarquistone.rc)
  target_sources(${target} PRIVATE ${script})
  add_dependencies(${target} wm_event_messages)
  set_property(SOURCE ${script} APPEND PROPERTY OBJECT_DEPENDS ${WM_GENERATED_DIR}/EventMessages.rc)
  # The resource script reads Version.h, the manifest and the event messages
  # from the first, the banner and its number from the second.
  target_include_directories(${target} PRIVATE ${WM_GENERATED_DIR} ${CMAKE_SOURCE_DIR}/src)
  if(MSVC)
    # The manifest comes from the resource script, not from the linker.
    target_link_options(${target} PRIVATE /MANIFEST:NO)
  endif()
endfunction()
