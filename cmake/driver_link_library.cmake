# The driver's Linux library, libnidaqmx.so, as the module links against it:
# made from our own list of the driver's functions (host/nicaiu.def), never
# from the simulated card. Linking against it records the driver's library
# among the module's needed libraries, so the system's loader brings the
# driver in with the module, as Windows does from the module's import table.
# Its file has another name than its soname: nothing that searches for
# libnidaqmx.so at run time can take it for the driver.
file(READ ${PROJECT_SOURCE_DIR}/host/nicaiu.def declarations)
string(REGEX MATCHALL "\n[ \t]+DAQmx[A-Za-z0-9]+" names "${declarations}")
set(definitions "/* Generated from host/nicaiu.def: only the names matter, for linking. */\n")
foreach(name IN LISTS names)
  string(STRIP "${name}" name)
  string(APPEND definitions "void ${name}(void) {}\n")
endforeach()
set(TWINVOLTS_DRIVER_LINK_SOURCE ${CMAKE_BINARY_DIR}/host_imports/driver_link_names.c)
file(CONFIGURE OUTPUT ${TWINVOLTS_DRIVER_LINK_SOURCE} CONTENT "${definitions}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${PROJECT_SOURCE_DIR}/host/nicaiu.def)

set(TWINVOLTS_DRIVER_LIBRARY libnidaqmx.so)
add_library(twinvolts_driver_link SHARED ${TWINVOLTS_DRIVER_LINK_SOURCE})
set_target_properties(twinvolts_driver_link PROPERTIES
  OUTPUT_NAME nidaqmx_link_names NO_SONAME ON
  LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/host_imports)
target_link_options(twinvolts_driver_link PRIVATE -Wl,-soname,${TWINVOLTS_DRIVER_LIBRARY})

# twinvolts_link_driver_library(target): target needs libnidaqmx.so by that
# name, and records no folder to look for it in: it is found where the
# system finds libraries, or already loaded.
function(twinvolts_link_driver_library target)
  target_link_libraries(${target} PRIVATE twinvolts_driver_link)
  set_target_properties(${target} PROPERTIES SKIP_BUILD_RPATH ON)
endfunction()
