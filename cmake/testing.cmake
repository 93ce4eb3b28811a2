# GoogleTest from the packaged sources, built for the target at hand, so the
# same tests run on x86-64, i386 and 32-bit Windows.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# twinvolts_add_test(NAME name SOURCES ... [LIBS ...])
# One test program, registered as one CTest test.
function(twinvolts_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest_main)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
endfunction()
