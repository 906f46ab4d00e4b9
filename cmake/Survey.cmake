# Compiler settings every target of the suite shares.
add_library(survey_options INTERFACE)
# Each operation must round where the computations say it does: no fused multiply-add,
# no fast-math reassociation. Which values are single and which double decides the printed
# digits, so an implicit narrowing of a floating value is a warning (an error in the test build).
target_compile_options(survey_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wfloat-conversion
  -ffp-contract=off -fno-fast-math)
if(SURVEY_WERROR)
  target_compile_options(survey_options INTERFACE -Werror)
endif()
if(SURVEY_SANITIZE)
  target_compile_options(survey_options INTERFACE -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(survey_options INTERFACE -fsanitize=address,undefined)
endif()

if(SURVEY_FUZZ)
  target_compile_options(survey_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined
    -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(survey_options INTERFACE -fsanitize=address,undefined)
endif()

# survey_core_library(name SOURCES ... DEPENDS ...): a pure C++20 computation library (no Qt).
function(survey_core_library name)
  survey_static_library_(${name} ${ARGN})
endfunction()

# What every library of the suite is: static, its headers found from src/, on the shared options.
function(survey_static_library_ name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC survey_options ${ARG_DEPENDS})
endfunction()

# What every test and benchmark executable is: built into <build>/DIR, on the shared options.
function(survey_checking_executable_ name dir)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/${dir})
  target_link_libraries(${name} PRIVATE survey_options ${ARG_DEPENDS})
endfunction()

# survey_core_test(name SOURCES ... DEPENDS ...): a GoogleTest executable run by ctest;
# built in the sanitizer build too.
function(survey_core_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  if(NOT SURVEY_TESTS)
    return()
  endif()
  survey_checking_executable_(${name} tests SOURCES ${ARG_SOURCES}
    DEPENDS ${ARG_DEPENDS} GTest::gtest GTest::gtest_main GTest::gmock)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS core)
endfunction()

# survey_qt_test(name SOURCES ... DEPENDS ...): a window or platform test on the offscreen
# platform, so no display is needed.
function(survey_qt_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  survey_checking_executable_(${name} tests SOURCES ${ARG_SOURCES} DEPENDS ${ARG_DEPENDS} Qt6::Test)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS gui
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;SURVEY_TEST_DATA_HOME=${PROJECT_BINARY_DIR}/test-home")
endfunction()

# survey_benchmark(name SOURCES ... DEPENDS ...): a Google Benchmark executable; the
# `bench` target builds them all.
if(NOT TARGET bench)
  add_custom_target(bench)
endif()
function(survey_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  if(NOT SURVEY_BENCHMARKS)
    return()
  endif()
  survey_checking_executable_(${name} bench SOURCES ${ARG_SOURCES}
    DEPENDS ${ARG_DEPENDS} benchmark::benchmark benchmark::benchmark_main)
  add_dependencies(bench ${name})
endfunction()

# survey_window_library(name SOURCES ... DEPENDS ...): the Qt side of a program (its windows,
# the platform services it builds for batch mode), on the suite's shared compiler options.
function(survey_window_library name)
  survey_static_library_(${name} ${ARGN})
endfunction()

# survey_program(name SOURCES ... DEPENDS ...): one of the suite's programs, built into bin/
# and installed there.
function(survey_program name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE survey_options ${ARG_DEPENDS})
  install(TARGETS ${name} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endfunction()

# survey_data(program FILES ...): files delivered with a program (report layouts, help,
# pictures). They are copied to <build>/share/route-survey/<program>/ so that a program in
# <build>/bin finds them exactly as an installed one finds <prefix>/share/route-survey/<program>/.
function(survey_data program)
  cmake_parse_arguments(ARG "" "" "FILES" ${ARGN})
  foreach(file IN LISTS ARG_FILES)
    get_filename_component(fname ${file} NAME)
    configure_file(${file} ${PROJECT_BINARY_DIR}/share/route-survey/${program}/${fname} COPYONLY)
    install(FILES ${file} DESTINATION ${CMAKE_INSTALL_DATADIR}/route-survey/${program})
  endforeach()
endfunction()

# survey_calculator(name CORE sources... [CORE_DEPENDS libs...] CORE_TEST test-name sources...
#                   [BENCH bench-name sources...] WINDOW sources... WINDOW_TEST sources...):
# one of the small calculators laid out the common way: the core library <name>_core with its
# test, a benchmark of it, the window library <name>_window on the core and the platform, the
# program <name> and the window's test <name>_window_tests.
function(survey_calculator name)
  cmake_parse_arguments(ARG "" "" "CORE;CORE_DEPENDS;CORE_TEST;BENCH;WINDOW;WINDOW_TEST" ${ARGN})
  survey_core_library(${name}_core SOURCES ${ARG_CORE} DEPENDS ${ARG_CORE_DEPENDS})
  list(POP_FRONT ARG_CORE_TEST coreTest)
  survey_core_test(${coreTest} SOURCES ${ARG_CORE_TEST} DEPENDS ${name}_core)
  if(ARG_BENCH)
    list(POP_FRONT ARG_BENCH bench)
    survey_benchmark(${bench} SOURCES ${ARG_BENCH} DEPENDS ${name}_core)
  endif()
  if(NOT SURVEY_CORE_ONLY)
    survey_window_library(${name}_window SOURCES ${ARG_WINDOW} DEPENDS ${name}_core survey_platform)
    survey_program(${name} SOURCES main.cpp DEPENDS ${name}_window)
    survey_qt_test(${name}_window_tests SOURCES ${ARG_WINDOW_TEST} DEPENDS ${name}_window)
  endif()
endfunction()
