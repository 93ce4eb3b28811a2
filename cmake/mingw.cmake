# What the Windows builds share, with the packaged mingw-w64 cross toolchain
# that TWINVOLTS_MINGW_TRIPLE names (set by mingw-i686.cmake or
# mingw-x86_64.cmake). Test programs run under wine through a wrapper that
# keeps wine's state in the build directory (see cmake/windows.cmake).
set(CMAKE_SYSTEM_NAME Windows)
# The posix thread model: GoogleTest needs std::mutex, which the win32 model
# of this compiler lacks. Its winpthread library is linked in statically below.
foreach(lang_tool C:gcc CXX:g++)
  string(REPLACE ":" ";" pair ${lang_tool})
  list(GET pair 0 lang)
  list(GET pair 1 tool)
  find_program(TWINVOLTS_MINGW_${lang} NAMES ${TWINVOLTS_MINGW_TRIPLE}-${tool}-posix REQUIRED)
  set(CMAKE_${lang}_COMPILER ${TWINVOLTS_MINGW_${lang}})
endforeach()
find_program(CMAKE_RC_COMPILER ${TWINVOLTS_MINGW_TRIPLE}-windres)
find_program(CMAKE_DLLTOOL ${TWINVOLTS_MINGW_TRIPLE}-dlltool REQUIRED)
find_program(TWINVOLTS_OBJDUMP ${TWINVOLTS_MINGW_TRIPLE}-objdump REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${TWINVOLTS_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's runtimes go into every program and DLL, so wine (and a
# host) needs no libgcc, libstdc++ or winpthread DLL. -static takes every
# library named by -l from its static archive (the system DLLs' import
# libraries are archives too); our own DLLs are linked by their full paths.
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
endforeach()

# Every test program runs under wine; the wrapper is written at configure time.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
