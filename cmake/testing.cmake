# GoogleTest from the packaged sources, built for the target at hand, so the
# same tests run on x86-64, i386 and 32-bit Windows.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# twinvolts_closing_line(target text): under an emulator, a test run of the
# program passes only if it also printed a line beginning with text (see
# cmake/wine-run.in): there a program that dies can still end with status 0.
function(twinvolts_closing_line target text)
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    set_property(TARGET ${target} PROPERTY CROSSCOMPILING_EMULATOR
                 ${CMAKE_CROSSCOMPILING_EMULATOR} --closing "${text}")
  endif()
endfunction()

# twinvolts_gtest_program(target): the closing line of a GoogleTest program
# whose every test passed.
function(twinvolts_gtest_program target)
  twinvolts_closing_line(${target} "[  PASSED  ] ")
endfunction()

# twinvolts_add_test(NAME name SOURCES ... [LIBS ...])
# One test program, registered as one CTest test.
function(twinvolts_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE twinvolts_build_flags ${T_LIBS} GTest::gtest_main)
  twinvolts_gtest_program(${T_NAME})
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
endfunction()

# twinvolts_check_headers(NAME target FOR test [C_AND_CXX header ...] [CXX header ...])
# Each header, named from the repository root without ".h", compiles on its
# own: those of the C ABI as C and as C++, internal ones as C++. Built with
# the test program FOR.
function(twinvolts_check_headers)
  cmake_parse_arguments(H "" "NAME;FOR" "C_AND_CXX;CXX" ${ARGN})
  set(sources)
  foreach(header IN LISTS H_C_AND_CXX H_CXX)
    string(REPLACE "/" "_" stem ${header})
    set(extensions cpp)
    if(header IN_LIST H_C_AND_CXX)
      set(extensions c cpp)
    endif()
    foreach(extension IN LISTS extensions)
      set(source ${CMAKE_CURRENT_BINARY_DIR}/header_${stem}.${extension})
      file(CONFIGURE OUTPUT ${source} CONTENT "#include \"${header}.h\"\n")
      list(APPEND sources ${source})
    endforeach()
  endforeach()
  add_library(${H_NAME} OBJECT ${sources})
  target_link_libraries(${H_NAME} PRIVATE twinvolts_build_flags)
  target_compile_options(${H_NAME} PRIVATE -pedantic)
  add_dependencies(${H_FOR} ${H_NAME})
endfunction()
