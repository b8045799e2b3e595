# Build options shared by every target of the suite.

option(QUELLOR_WERROR "Treat compiler warnings as errors" OFF)
option(QUELLOR_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(QUELLOR_TSAN "Build with ThreadSanitizer" OFF)
option(QUELLOR_BUILD_BENCHMARKS "Build the Google Benchmark targets in bench/" ON)
option(QUELLOR_LIBFUZZER "Link the fuzz targets with libFuzzer (needs clang)" OFF)

add_library(quellor_warnings INTERFACE)
target_compile_options(quellor_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
  -Woverloaded-virtual -Wformat=2 -Wimplicit-fallthrough
  $<$<BOOL:${QUELLOR_WERROR}>:-Werror>)

if(QUELLOR_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(QUELLOR_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# quellor_target(<target>): the warnings every target of ours is built with.
function(quellor_target target)
  target_link_libraries(${target} PRIVATE quellor_warnings)
endfunction()

# Rebuilds of unchanged sources come from ccache when it is installed.
find_program(QUELLOR_CCACHE ccache)
if(QUELLOR_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  set(CMAKE_C_COMPILER_LAUNCHER ${QUELLOR_CCACHE})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${QUELLOR_CCACHE})
endif()
