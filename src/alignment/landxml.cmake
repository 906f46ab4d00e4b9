# LandXML exchange, the vertical profile and stake-out: part of alignment_core. pugixml is
# linked here only, so nothing else of the suite depends on an XML parser.
find_package(pugixml 1.11 CONFIG REQUIRED)
target_sources(alignment_core PRIVATE
  profile.cpp stakeout.cpp landxml_reader.cpp landxml_writer.cpp)
target_link_libraries(alignment_core PRIVATE pugixml::pugixml survey_common)
# The profile table is read with the program's table reader.
target_sources(alignment_io PRIVATE profile_table.cpp route_design.cpp route_rows.cpp)

survey_core_test(alignment_landxml_tests SOURCES
  tests/profile_test.cpp tests/stakeout_test.cpp tests/landxml_test.cpp tests/profile_table_test.cpp tests/landxml_batch_test.cpp
  DEPENDS alignment_cli)

survey_benchmark(alignment_landxml_bench SOURCES bench/landxml_bench.cpp DEPENDS alignment_cli)


