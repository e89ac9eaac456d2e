# Tests run under Wine: one prefix, one Xvfb and one wineserver per test run, shared by every
# test through the CTest fixture "wine_session" and torn down by its cleanup test even when
# tests fail or time out.
set(HALVERN_SESSION_SCRIPT ${CMAKE_SOURCE_DIR}/testing/wine_session)
set(HALVERN_TEST_SESSION ${CMAKE_BINARY_DIR}/wine/test-session)

# Wine sees the Unix root as drive Z:.
string(REPLACE "/" "\\" HALVERN_BIN_DOS "Z:${CMAKE_BINARY_DIR}/bin")

set(HALVERN_WINERUN ${CMAKE_BINARY_DIR}/winerun)
file(WRITE ${HALVERN_WINERUN}
  "#!/bin/sh\nexec '${HALVERN_SESSION_SCRIPT}' run '${HALVERN_TEST_SESSION}' wine \"$@\"\n")
file(CHMOD ${HALVERN_WINERUN} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
     GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${HALVERN_WINERUN})

function(halvern_wine_session_fixture)
  add_test(NAME testing.session_start
           COMMAND ${HALVERN_SESSION_SCRIPT} start ${HALVERN_TEST_SESSION})
  # Booting the template prefix is slow where Wine runs under an emulator.
  set_tests_properties(testing.session_start PROPERTIES FIXTURES_SETUP wine_session TIMEOUT 1200)
  add_test(NAME testing.session_stop
           COMMAND ${HALVERN_SESSION_SCRIPT} stop ${HALVERN_TEST_SESSION})
  set_tests_properties(testing.session_stop PROPERTIES FIXTURES_CLEANUP wine_session TIMEOUT 120)
endfunction()
