# Helpers that keep tests, fuzz targets and benchmarks uniform across subsystems.

# volta_add_test(NAME name SOURCES ... LIBS ...)
# One GoogleTest executable, registered with CTest test by test.
function(volta_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} volta_test_support GTest::gtest_main)
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${T_NAME}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    PROPERTIES ENVIRONMENT "VOLTA_SOURCE_DIR=${CMAKE_SOURCE_DIR};VOLTA_BIN_DIR=${CMAKE_BINARY_DIR}/bin"
    DISCOVERY_TIMEOUT 60)
endfunction()

# volta_add_fuzz(NAME name SOURCES ... LIBS ...)
# With clang and VOLTA_FUZZ a libFuzzer binary; otherwise a replay driver that runs
# the target over the files given on its command line (the seeds in fuzz/corpus/NAME),
# so every compiler checks that the target builds and survives its seeds.
function(volta_add_fuzz)
  cmake_parse_arguments(F "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${F_NAME} ${F_SOURCES})
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
  set_target_properties(${F_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  if(VOLTA_FUZZ)
    target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
    target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  else()
    target_link_libraries(${F_NAME} PRIVATE volta_fuzz_replay)
  endif()
  set(seeds ${CMAKE_SOURCE_DIR}/fuzz/corpus/${F_NAME})
  if(EXISTS ${seeds})
    if(VOLTA_FUZZ)
      add_test(NAME fuzz_replay.${F_NAME} COMMAND ${F_NAME} -runs=0 ${seeds})
    else()
      add_test(NAME fuzz_replay.${F_NAME} COMMAND ${F_NAME} ${seeds})
    endif()
  endif()
endfunction()

# volta_add_bench(NAME name SOURCES ... LIBS ...)
function(volta_add_bench)
  cmake_parse_arguments(B "" "NAME" "SOURCES;LIBS" ${ARGN})
  if(NOT VOLTA_BENCH)
    return()
  endif()
  add_executable(${B_NAME} ${B_SOURCES})
  target_link_libraries(${B_NAME} PRIVATE ${B_LIBS} benchmark::benchmark)
  set_target_properties(${B_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()

# Shared libraries insist on every symbol being resolved inside them, except under the
# sanitizers, whose runtimes live in the executable.
function(volta_complete_links target)
  if(NOT VOLTA_SANITIZE)
    target_link_options(${target} PRIVATE -Wl,--no-undefined)
  endif()
endfunction()
