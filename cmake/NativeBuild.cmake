# Native side: host clang with AddressSanitizer and UndefinedBehaviorSanitizer.
# VESTAR_BENCH=ON configures the benchmarks' build instead (bench/run.sh):
# the same modules optimised and without any sanitizer or fuzzer
# instrumentation, so that the figures are those of the shipped code.
option(VESTAR_BENCH "Build for the benchmarks in bench/: no sanitizers" OFF)
if(NOT VESTAR_BENCH)
    set(VESTAR_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_compile_options(${VESTAR_SANITIZE} -fsanitize=fuzzer-no-link)
    add_link_options(${VESTAR_SANITIZE})
endif()

add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

function(vestar_add_native_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} gmock_main)
    # Test data shared with the Windows tests: #include "fixtures/...".
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "VESTAR_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()

# libFuzzer targets; every native module carries the coverage instrumentation.
function(vestar_add_fuzzer name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_property(GLOBAL APPEND PROPERTY VESTAR_FUZZERS ${name})
endfunction()
