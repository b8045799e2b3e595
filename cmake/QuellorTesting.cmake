# Tests live beside the code they test, in <module>/tests/, and run through CTest.

enable_testing()
find_package(GTest REQUIRED)
include(GoogleTest)

# The shared test support (testing/): scratch folders, environment, child
# processes, board and desktop resets. Every test program links its core.
add_subdirectory(${CMAKE_SOURCE_DIR}/testing ${CMAKE_BINARY_DIR}/testing)

# quellor_add_test(<name> [THREADS] SOURCES <files...> LIBS <targets...>)
# Builds one GoogleTest program and registers each of its test cases with CTest.
# THREADS marks a thread-heavy program: its tests carry the CTest label
# "threads" and the target quellor_thread_tests builds it, which is what CI's
# ThreadSanitizer stage builds and runs (ctest -L threads).
# Test programs go to <build>/tests/<name>/ so that a library that scans its
# host program's folder never mistakes a test folder for a deployed one.
function(quellor_add_test name)
  cmake_parse_arguments(ARG "THREADS" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  quellor_target(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} quellor_test_support GTest::gmock GTest::gtest_main Threads::Threads)
  set_target_properties(${name} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/${name})
  set(labels unit)
  if(ARG_THREADS)
    set(labels threads)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests/${name}
    TEST_PREFIX "${name}."
    TEST_LIST ${name}_TESTS
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${labels})
  if(ARG_THREADS)
    if(NOT TARGET quellor_thread_tests)
      add_custom_target(quellor_thread_tests)
    endif()
    add_dependencies(quellor_thread_tests ${name})
  endif()
  # The environment is set from a script of its own: a list passed through
  # gtest_discover_tests loses everything after its first element.
  set(env_script ${CMAKE_CURRENT_BINARY_DIR}/${name}_environment.cmake)
  file(WRITE ${env_script}
    "if(${name}_TESTS)\n"
    "  set_tests_properties(\${${name}_TESTS} PROPERTIES ENVIRONMENT "
    "\"QUELLOR_TEST_TMP=${CMAKE_BINARY_DIR}/testtmp;QUELLOR_BIN=${CMAKE_BINARY_DIR}/bin;QUELLOR_HEADLESS=1\")\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${env_script})
endfunction()
