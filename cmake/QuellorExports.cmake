# What the suite's shared objects export.
#
# Every shared library and plug-in is built with hidden visibility and exports
# only what its headers mark with QUELLOR_EXPORT (<quellor/Export.h>); static
# libraries linked into shared objects (cliplib, the settings store) are built
# hidden as well, so each shared object keeps its copy to itself.

# quellor_hidden_symbols(<target>...): hidden visibility by default, inline
# functions included; shared objects also keep the standard library's
# template instances to themselves (hidden-std.map).
set(QUELLOR_HIDDEN_STD_MAP ${CMAKE_CURRENT_LIST_DIR}/hidden-std.map)
function(quellor_hidden_symbols)
  foreach(target ${ARGN})
    set_target_properties(${target} PROPERTIES
      C_VISIBILITY_PRESET hidden
      CXX_VISIBILITY_PRESET hidden
      VISIBILITY_INLINES_HIDDEN ON)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "SHARED_LIBRARY" OR type STREQUAL "MODULE_LIBRARY")
      target_link_options(${target} PRIVATE "LINKER:--version-script=${QUELLOR_HIDDEN_STD_MAP}")
      set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${QUELLOR_HIDDEN_STD_MAP})
    endif()
  endforeach()
endfunction()

# quellor_add_exports_test(<module> <target> <list file>): the CTest test
# <module>_exports compares the dynamic symbols that <target>'s shared object
# defines (nm -D --defined-only -C) with the list kept beside the module, one
# demangled symbol a line (cmake/check-exports.sh). Its failure names the
# symbols added and missing; after a deliberate change of the interface,
# rewrite the list with
#   cmake/check-exports.sh <shared object> <list file> --update
find_program(QUELLOR_NM NAMES nm REQUIRED)

# The lists hold what the ci and default presets (GCC, no sanitizer) export;
# sanitizer and clang builds add symbols of their own, so they skip the test.
function(quellor_add_exports_test module target list)
  if(QUELLOR_SANITIZE OR QUELLOR_TSAN OR QUELLOR_LIBFUZZER OR NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    return()
  endif()
  if(NOT IS_ABSOLUTE ${list})
    set(list ${CMAKE_CURRENT_SOURCE_DIR}/${list})
  endif()
  add_test(NAME ${module}_exports
    COMMAND sh ${CMAKE_SOURCE_DIR}/cmake/check-exports.sh $<TARGET_FILE:${target}> ${list})
  set_tests_properties(${module}_exports PROPERTIES
    LABELS exports ENVIRONMENT "NM=${QUELLOR_NM}")
endfunction()
