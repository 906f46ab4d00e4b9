# LandXML exchange, the vertical profile and stake-out: part of alignment_core. pugixml is
# linked here only, so nothing else of the suite depends on an XML parser.
find_package(pugixml 1.11 CONFIG REQUIRED)
target_sources(alignment_core PRIVATE
  profile.cpp stakeout.cpp landxml_reader.cpp landxml_writer.cpp)
target_link_libraries(alignment_core PRIVATE pugixml::pugixml)
# The profile table is read with the program's table reader.
target_sources(alignment_io PRIVATE profile_table.cpp landxml_batch.cpp)

survey_core_test(alignment_landxml_tests SOURCES
  tests/profile_test.cpp tests/stakeout_test.cpp tests/landxml_test.cpp tests/profile_table_test.cpp tests/landxml_batch_test.cpp
  DEPENDS alignment_io)

# The built program once with a LandXML file (stderr as a shell sees it).
survey_core_test(alignment_landxml_program_tests SOURCES tests/landxml_program_test.cpp)
target_compile_definitions(alignment_landxml_program_tests PRIVATE ALIGNMENT_PROGRAM="$<TARGET_FILE:alignment>")
add_dependencies(alignment_landxml_program_tests alignment)

survey_benchmark(alignment_landxml_bench SOURCES bench/landxml_bench.cpp DEPENDS alignment_io)

# libFuzzer targets for the LandXML reader and the table readers, with seed corpora in
# fuzz/corpus/<target>/. Configure with clang:
#   CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DSURVEY_CORE_ONLY=ON -DSURVEY_SANITIZE=ON -DSURVEY_FUZZ=ON
#   cmake --build build-fuzz --target fuzz && build-fuzz/fuzz/alignment_landxml_fuzz -max_total_time=60 \
#       src/alignment/fuzz/corpus/landxml
option(SURVEY_FUZZ "Build the libFuzzer targets (clang only)" OFF)
if(SURVEY_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "SURVEY_FUZZ needs clang (libFuzzer)")
  endif()
  if(NOT TARGET fuzz)
    add_custom_target(fuzz)
  endif()
  target_compile_options(alignment_core PRIVATE -fsanitize=fuzzer-no-link)
  target_compile_options(alignment_io PRIVATE -fsanitize=fuzzer-no-link)
  foreach(target landxml tables)
    add_executable(alignment_${target}_fuzz fuzz/${target}_fuzz.cpp)
    target_link_libraries(alignment_${target}_fuzz PRIVATE survey_options alignment_io)
    target_compile_options(alignment_${target}_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(alignment_${target}_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
    set_target_properties(alignment_${target}_fuzz PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/fuzz)
    add_dependencies(fuzz alignment_${target}_fuzz)
  endforeach()
endif()

