# cmake -P script: remakes a DLL's import library from the export list that
# ld wrote while linking it with --kill-at, so that callers' decorated
# stdcall names (_Name@N) import the plain names the DLL exports.
# Variables: EXPORTS_DEF, IMPORT_LIB, DLL_NAME, DLLTOOL.
foreach(var EXPORTS_DEF IMPORT_LIB DLL_NAME DLLTOOL)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "stdcall_import_library.cmake needs ${var}")
  endif()
endforeach()

file(STRINGS ${EXPORTS_DEF} lines)
set(decorated "EXPORTS\n")
foreach(line IN LISTS lines)
  # "Name = Name@N @ordinal" for a stdcall function; other entries stay.
  if(line MATCHES "^[ \t]+([A-Za-z_][A-Za-z0-9_]*) = ([A-Za-z_][A-Za-z0-9_]*@[0-9]+)(.*)$")
    string(APPEND decorated "    ${CMAKE_MATCH_2}${CMAKE_MATCH_3}\n")
  elseif(line MATCHES "^[ \t]+[^ \t]")
    string(APPEND decorated "${line}\n")
  endif()
endforeach()
set(decorated_def ${EXPORTS_DEF}.decorated)
file(WRITE ${decorated_def} "${decorated}")
execute_process(COMMAND ${DLLTOOL} -k -d ${decorated_def} -D ${DLL_NAME} -l ${IMPORT_LIB}
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "dlltool could not make ${IMPORT_LIB}")
endif()
