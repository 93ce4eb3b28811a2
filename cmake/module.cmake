# The loadable module file: the module's objects and nothing else. The host's
# functions stay undefined, bound from the process that loads it; the driver's
# come from the driver's library, which the file names.
add_library(twinvolts MODULE $<TARGET_OBJECTS:twinvolts_objects>)
set_target_properties(twinvolts PROPERTIES PREFIX "" OUTPUT_NAME twinvolts)
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set_target_properties(twinvolts PROPERTIES SUFFIX ".mexa64")
  else()
    set_target_properties(twinvolts PROPERTIES SUFFIX ".mexglx")
  endif()
  target_link_options(twinvolts PRIVATE
    -Wl,--version-script=${PROJECT_SOURCE_DIR}/gateway/exports.map)
  set_property(TARGET twinvolts APPEND PROPERTY LINK_DEPENDS
    ${PROJECT_SOURCE_DIR}/gateway/exports.map)
  include(cmake/driver_link_library.cmake)
  twinvolts_link_driver_library(twinvolts)
  # Its version where a user sees it without the host (strings, readelf -n),
  # as the Windows files carry theirs in a version resource.
  configure_file(${CMAKE_CURRENT_LIST_DIR}/module_version_note.c.in
                 ${CMAKE_BINARY_DIR}/module_version_note.c @ONLY)
  target_sources(twinvolts PRIVATE ${CMAKE_BINARY_DIR}/module_version_note.c)
endif()

# The Windows build's additions (nothing on Linux).
include(cmake/windows.cmake)
