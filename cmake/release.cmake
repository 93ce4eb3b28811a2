# The rehearsal kit of the release archives: the simulation program with the
# stand-in host's libraries and the simulated card, side by side, taken from a
# build with `cmake --install BUILD --component rehearsal --prefix DIR --strip`
# into DIR/rehearsal. The program finds its libraries in its own folder
# wherever that is unpacked. The module file is not part of the kit: the host
# must never find the simulated driver beside it.
set_target_properties(twinvolts-sim PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS twinvolts-sim mx mex nicaiu
        RUNTIME DESTINATION rehearsal COMPONENT rehearsal
        LIBRARY DESTINATION rehearsal COMPONENT rehearsal
        ARCHIVE DESTINATION lib COMPONENT development)
