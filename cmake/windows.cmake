# What the Windows builds (32-bit and 64-bit) add: the module file's name,
# export and import tables, one output folder for every program and DLL (so
# the test programs find the module and the stand-in DLLs beside them), and
# the wine wrapper that runs the test programs.
if(NOT WIN32)
  return()
endif()
# The one difference between the two: x86-64 has a single calling
# convention, so no function name carries stdcall's @N.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(TWINVOLTS_MODULE_SUFFIX .mexw64)
  set(TWINVOLTS_STDCALL_NAMES OFF)
  # Debian's wine runs 32-bit programs unless told otherwise.
  find_program(TWINVOLTS_WINE NAMES wine64 PATHS /usr/lib/wine REQUIRED)
else()
  set(TWINVOLTS_MODULE_SUFFIX .mexw32)
  set(TWINVOLTS_STDCALL_NAMES ON)
  find_program(TWINVOLTS_WINE NAMES wine REQUIRED)
endif()
if(TWINVOLTS_SANITIZE)
  message(FATAL_ERROR "The sanitizers do not run under wine: use them in a Linux build")
endif()

set(TWINVOLTS_WINDOWS_BIN_DIR ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${TWINVOLTS_WINDOWS_BIN_DIR})
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${TWINVOLTS_WINDOWS_BIN_DIR})
set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)

# mingw exports every global symbol of a DLL that marks none, the statically
# linked runtimes' included: a program linked after such a DLL would take its
# unwinder, or its thread library's mutexes, from the DLL and then meet them
# again in the runtime. (ALL would also hide the DLL's own objects, which
# CMake links as an archive.)
add_link_options(
  -Wl,--exclude-libs,libgcc.a:libgcc_eh.a:libstdc++.a:libsupc++.a:libpthread.a:libwinpthread.a)
# No link time in the PE header: two builds of one commit are byte-identical.
add_link_options(-Wl,--no-insert-timestamp)

set(TWINVOLTS_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE @ONLY)

# Import libraries made from our own declarations of the host's and the
# driver's DLLs: the module never links against the stand-ins.
set(TWINVOLTS_IMPORTS_DIR ${CMAKE_BINARY_DIR}/host_imports)
file(MAKE_DIRECTORY ${TWINVOLTS_IMPORTS_DIR})
set(TWINVOLTS_HOST_IMPORT_LIBS)
foreach(dll libmx libmex nicaiu)
  set(def ${PROJECT_SOURCE_DIR}/host/${dll}.def)
  set(lib ${TWINVOLTS_IMPORTS_DIR}/${dll}.imports.a)
  if(NOT TWINVOLTS_STDCALL_NAMES)
    # The same list without the @N that only 32-bit stdcall names carry
    # (and without the comments, which file(CONFIGURE) would read).
    file(READ ${def} entries)
    string(REGEX REPLACE ";[^\n]*" "" entries "${entries}")
    string(REGEX REPLACE "@[0-9]+" "" entries "${entries}")
    set(def ${TWINVOLTS_IMPORTS_DIR}/${dll}.def)
    file(CONFIGURE OUTPUT ${def} CONTENT "${entries}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                 ${PROJECT_SOURCE_DIR}/host/${dll}.def)
  endif()
  # -k: the stdcall names _Name@N import the DLL's undecorated Name. dlltool
  # names a symbol after the library's path: a bare name keeps the checkout's
  # path out of the module file.
  add_custom_command(OUTPUT ${lib}
    COMMAND ${CMAKE_DLLTOOL} -k -d ${def} -l ${dll}.imports.a
    WORKING_DIRECTORY ${TWINVOLTS_IMPORTS_DIR}
    DEPENDS ${def}
    COMMENT "Import library for ${dll}.dll from host/${dll}.def"
    VERBATIM)
  list(APPEND TWINVOLTS_HOST_IMPORT_LIBS ${lib})
endforeach()
add_custom_target(twinvolts_host_imports DEPENDS ${TWINVOLTS_HOST_IMPORT_LIBS})

# twinvolts_link_host_imports(target): links target against the host's and
# driver's DLLs through our declarations only.
function(twinvolts_link_host_imports target)
  add_dependencies(${target} twinvolts_host_imports)
  target_link_libraries(${target} PRIVATE ${TWINVOLTS_HOST_IMPORT_LIBS})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${TWINVOLTS_HOST_IMPORT_LIBS})
  # A stdcall name whose argument bytes differ from the declaration must not
  # be quietly matched to another.
  if(TWINVOLTS_STDCALL_NAMES)
    target_link_options(${target} PRIVATE -Wl,--disable-stdcall-fixup)
  endif()
endfunction()

# The module file: twinvolts.mexw32 or .mexw64, exporting mexFunction alone.
# mingw exports every symbol of a DLL that marks none, so both the .def file
# and --exclude-all-symbols keep the rest in.
set_target_properties(twinvolts PROPERTIES SUFFIX ${TWINVOLTS_MODULE_SUFFIX}
                                           LIBRARY_OUTPUT_DIRECTORY ${TWINVOLTS_WINDOWS_BIN_DIR}
                                           RUNTIME_OUTPUT_DIRECTORY ${TWINVOLTS_WINDOWS_BIN_DIR})
target_sources(twinvolts PRIVATE ${PROJECT_SOURCE_DIR}/gateway/exports.def)
target_link_options(twinvolts PRIVATE -Wl,--exclude-all-symbols -Wl,--no-insert-timestamp)
twinvolts_link_host_imports(twinvolts)

# Its version resource (file and product version, description, original file
# name), made from the project's version.
enable_language(RC)
configure_file(${CMAKE_CURRENT_LIST_DIR}/module_version.rc.in ${CMAKE_BINARY_DIR}/module_version.rc
               @ONLY)
target_sources(twinvolts PRIVATE ${CMAKE_BINARY_DIR}/module_version.rc)

# twinvolts_driver_dll(target): a stand-in for a stdcall driver DLL. It is
# named without the lib prefix, exports its stdcall functions by their plain
# names as the real driver does, and (32-bit) its import library maps the
# decorated names callers use (_Name@N) to those plain names.
function(twinvolts_driver_dll target)
  set_target_properties(${target} PROPERTIES PREFIX "")
  if(NOT TWINVOLTS_STDCALL_NAMES)
    return()
  endif()
  set(exports_def ${CMAKE_CURRENT_BINARY_DIR}/${target}.exports.def)
  target_link_options(${target} PRIVATE -Wl,--kill-at -Wl,--output-def,${exports_def})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DEXPORTS_DEF=${exports_def}
            -DIMPORT_LIB=$<TARGET_LINKER_FILE:${target}> -DDLL_NAME=$<TARGET_FILE_NAME:${target}>
            -DDLLTOOL=${CMAKE_DLLTOOL} -P ${PROJECT_SOURCE_DIR}/cmake/stdcall_import_library.cmake
    VERBATIM)
endfunction()
