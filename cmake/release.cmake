# The rehearsal kit of the release archives: the simulation program with the
# stand-in host's libraries and the simulated card, side by side, taken from a
# build with `cmake --install BUILD --component rehearsal --prefix DIR --strip`
# into DIR/rehearsal. The program finds its libraries in its own folder
# wherever that is unpacked: it imports them, so the system loads them from the
# program's own folder, the first place searched, before it runs (on Linux
# through the RPATH $ORIGIN). The module file it is given, loaded later by
# its full path, binds its driver import to the simulated card already loaded.
# The module file is not part of the kit: a host must never find the simulated
# driver beside it.
set_target_properties(twinvolts-sim PROPERTIES INSTALL_RPATH "$ORIGIN")
# As DT_RPATH, searched before LD_LIBRARY_PATH (DT_RUNPATH comes after it): a
# lab's real libnidaqmx.so on that path must never stand in for the program's
# simulated card, in the kit or in a build.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  target_link_options(twinvolts-sim PRIVATE -Wl,--disable-new-dtags)
endif()
install(TARGETS twinvolts-sim mx mex nicaiu
        RUNTIME DESTINATION rehearsal COMPONENT rehearsal
        LIBRARY DESTINATION rehearsal COMPONENT rehearsal
        ARCHIVE DESTINATION lib COMPONENT development)
