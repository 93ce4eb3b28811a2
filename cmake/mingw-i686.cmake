# 32-bit Windows build with the packaged mingw-w64 i686 cross toolchain.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TWINVOLTS_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
