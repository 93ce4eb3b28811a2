# 64-bit Windows build with the packaged mingw-w64 x86-64 cross toolchain.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(TWINVOLTS_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
