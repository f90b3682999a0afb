# The library as a host sees it, on the whole build and on the library's own
# (ORDALIS_ONLY): included where the library's tests are added.

# What the library exports: its API and the services the program shares with it.
add_test(NAME ordalis_exports COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/check_exports.sh
  $<TARGET_FILE:Ordalis> ${CMAKE_CURRENT_LIST_DIR}/exports.txt)

# A host outside this tree: the component installed into a fresh folder of the
# build tree, tests/host configured on it with CMAKE_PREFIX_PATH, built and run.
# A sanitizer build's library needs a host built the same way.
set(host_flags "")
if(PLICORA_SANITIZE)
  set(host_flags "-fsanitize=address,undefined")
endif()
add_test(NAME ordalis_host COMMAND ${CMAKE_COMMAND}
  -DBUILD_DIR=${CMAKE_BINARY_DIR}
  "-DHOST_FLAGS=${host_flags}"
  -DHOST_SOURCE=${CMAKE_CURRENT_LIST_DIR}
  -DWORK=${CMAKE_BINARY_DIR}/ordalis_host
  -P ${CMAKE_CURRENT_LIST_DIR}/run_host_test.cmake)
set_tests_properties(ordalis_host PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/ordalis_host/config;XDG_DATA_HOME=${CMAKE_BINARY_DIR}/ordalis_host/data"
  TIMEOUT 600)

# The library alone, as its README gives it to a host's developer: Qt is all it needs,
# and the checks above pass there too.
if(NOT ORDALIS_ONLY)
  add_test(NAME ordalis_alone COMMAND ${CMAKE_COMMAND}
    -DSOURCE=${CMAKE_SOURCE_DIR}
    -DWORK=${CMAKE_BINARY_DIR}/ordalis_alone
    -DLAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER}
    -P ${CMAKE_CURRENT_LIST_DIR}/run_alone_test.cmake)
  set_tests_properties(ordalis_alone PROPERTIES PROCESSORS 4 TIMEOUT 1200)
endif()
