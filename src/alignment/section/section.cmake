# Cross-sections: the typical section, superelevation and widening tables and the design
# surface they make along the route. Pure C++, on the program's table reader.
set(SECTION_DIR ${CMAKE_CURRENT_LIST_DIR})
survey_core_library(alignment_section SOURCES
  ${SECTION_DIR}/section_tables.cpp ${SECTION_DIR}/side_schedule.cpp ${SECTION_DIR}/design_surface.cpp
  ${SECTION_DIR}/section_rows.cpp ${SECTION_DIR}/subgrade_table.cpp
  DEPENDS alignment_io alignment_core)

survey_core_test(alignment_section_tests SOURCES
  ${SECTION_DIR}/tests/section_tables_test.cpp ${SECTION_DIR}/tests/side_schedule_test.cpp
  ${SECTION_DIR}/tests/design_surface_test.cpp ${SECTION_DIR}/tests/section_rows_test.cpp
  ${SECTION_DIR}/tests/subgrade_table_test.cpp
  DEPENDS alignment_section)

survey_benchmark(alignment_section_bench SOURCES ${SECTION_DIR}/bench/section_bench.cpp DEPENDS alignment_section)

# The commands and columns of the cross-section on the command line.
target_sources(alignment_cli PRIVATE ${SECTION_DIR}/../cli/section_setup.cpp ${SECTION_DIR}/../cli/section_columns.cpp
  ${SECTION_DIR}/../cli/section_command.cpp)
target_link_libraries(alignment_cli PUBLIC alignment_section)

survey_core_test(alignment_section_cli_tests SOURCES ${SECTION_DIR}/tests/section_commands_test.cpp
  DEPENDS alignment_cli)
survey_benchmark(alignment_section_command_bench SOURCES ${SECTION_DIR}/bench/section_command_bench.cpp
  DEPENDS alignment_cli)

# The 路基设计表 of `report --table sections`, printed with the window's tables where the
# program has them.
if(NOT SURVEY_CORE_ONLY)
  target_sources(alignment PRIVATE ${SECTION_DIR}/../cli/section_report.cpp)
  survey_core_test(alignment_section_report_tests SOURCES ${SECTION_DIR}/tests/section_report_test.cpp DEPENDS survey_common)
  if(TARGET alignment_section_report_tests)
    target_compile_definitions(alignment_section_report_tests PRIVATE ALIGNMENT_PROGRAM="$<TARGET_FILE:alignment>")
    add_dependencies(alignment_section_report_tests alignment)
  endif()
endif()
