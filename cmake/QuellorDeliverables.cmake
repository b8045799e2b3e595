# quellor_add_load_test(<name> <target>): a smoke test that loads the shared
# library built by <target> with every symbol resolved, as its host would.
function(quellor_add_load_test name target)
  quellor_add_test(${name}
    SOURCES ${CMAKE_SOURCE_DIR}/cmake/LoadLibrarySmokeTest.cpp
    LIBS ${CMAKE_DL_LIBS})
  target_compile_definitions(${name} PRIVATE
    "QUELLOR_LIBRARY_PATH=\"$<TARGET_FILE:${target}>\"")
  add_dependencies(${name} ${target})
endfunction()
