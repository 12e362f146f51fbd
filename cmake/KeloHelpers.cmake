# Small helpers so that each folder's CMakeLists stays a few lines long.

find_package(GTest REQUIRED)

# Warnings are errors everywhere; sanitizers come from the preset's flags.
# GCC 12 reports false -Wrestrict positives on std::string at -O3.
set(KELO_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion -Werror
    $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>)

# kelo_add_library(<name> SOURCES ... [DEPS ...])
# A static library whose headers are included as "<folder>/<Header>.h".
function(kelo_add_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_compile_options(${name} PRIVATE ${KELO_WARNINGS})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# kelo_add_test(<name> SOURCES ... [DEPS ...] [LABELS ...])
# One GoogleTest program, registered with CTest under its own name, which
# starts with the module folder (engine_table, paycalc_paye, ...).
function(kelo_add_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;DEPS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_compile_options(${name} PRIVATE ${KELO_WARNINGS})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS "${ARG_LABELS}")
endfunction()

# kelo_add_benchmark(<module> SOURCES ... [DEPS ...])
# Builds bench/<module>_bench with Google Benchmark.
function(kelo_add_benchmark module)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    find_package(benchmark REQUIRED)
    set(name ${module}_bench)
    add_executable(${name} ${ARG_SOURCES})
    target_compile_options(${name} PRIVATE ${KELO_WARNINGS})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
endfunction()

# kelo_add_fuzzer(<name> SOURCES ... [DEPS ...])
# A libFuzzer target; only with KELO_BUILD_FUZZ and clang.
function(kelo_add_fuzzer name)
    if(NOT KELO_BUILD_FUZZ)
        return()
    endif()
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(${name} PRIVATE ${ARG_DEPS})
endfunction()
