# Build options shared by every target of the project.
option(VOLTA_WERROR "Treat warnings as errors" ON)
option(VOLTA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(VOLTA_FUZZ "Build fuzz targets with libFuzzer (clang only)" OFF)
option(VOLTA_BENCH "Build benchmarks" ON)

add_compile_options(-Wall -Wextra -Wpedantic)
if(VOLTA_WERROR)
  add_compile_options(-Werror)
endif()

if(VOLTA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(VOLTA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "VOLTA_FUZZ needs clang")
  endif()
  # Coverage instrumentation everywhere, so that libFuzzer is guided through the
  # libraries a fuzz target links, not only through the target's own file.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()


find_package(Threads REQUIRED)
find_package(GTest REQUIRED)
include(GoogleTest)
if(VOLTA_BENCH)
  find_package(benchmark QUIET)
  if(NOT benchmark_FOUND)
    set(VOLTA_BENCH OFF)
  endif()
endif()

include(VoltaTargets)
include(VoltaEmbed)

# Rebuilds of unchanged sources come from the compiler cache when one is installed.
find_program(VOLTA_CCACHE ccache)
if(VOLTA_CCACHE)
  set(CMAKE_C_COMPILER_LAUNCHER ${VOLTA_CCACHE})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${VOLTA_CCACHE})
endif()
