# Field checks: side slopes and slope staking on the cross-section, and the deviation report.
# The computations are pure C++ beside the section's; the commands join the program's table.
set(CHECK_DIR ${CMAKE_CURRENT_LIST_DIR})
survey_core_library(alignment_check SOURCES ${CHECK_DIR}/field_check.cpp ${CHECK_DIR}/check_rows.cpp
  ${CHECK_DIR}/locate_design.cpp ${CHECK_DIR}/../section/slopes.cpp
  DEPENDS alignment_section)

survey_core_test(alignment_check_tests SOURCES ${CHECK_DIR}/tests/field_check_test.cpp ${CHECK_DIR}/tests/slopes_test.cpp
  ${CHECK_DIR}/tests/check_rows_test.cpp ${CHECK_DIR}/tests/locate_design_test.cpp
  DEPENDS alignment_check)

target_sources(alignment_cli PRIVATE ${CHECK_DIR}/../cli/field_check.cpp ${CHECK_DIR}/../cli/check.cpp)
target_link_libraries(alignment_cli PUBLIC alignment_check)

survey_core_test(alignment_check_cli_tests SOURCES ${CHECK_DIR}/tests/check_commands_test.cpp DEPENDS alignment_cli)
survey_benchmark(alignment_check_bench SOURCES ${CHECK_DIR}/bench/check_bench.cpp DEPENDS alignment_cli)

# The printed deviation report with its plot, where the program has the window's tables.
if(NOT SURVEY_CORE_ONLY)
  target_sources(alignment PRIVATE ${CHECK_DIR}/../cli/check_report.cpp)
endif()
if(NOT SURVEY_CORE_ONLY)
  survey_core_test(alignment_check_report_tests SOURCES ${CHECK_DIR}/tests/check_report_test.cpp DEPENDS survey_common)
  if(TARGET alignment_check_report_tests)
    target_compile_definitions(alignment_check_report_tests PRIVATE ALIGNMENT_PROGRAM="$<TARGET_FILE:alignment>")
    add_dependencies(alignment_check_report_tests alignment)
  endif()
endif()
