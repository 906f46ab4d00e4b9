# Installs the built suite into a scratch prefix, checks what landed where, then starts the
# installed menu (offscreen) and lets it check that it finds its data and its buttons.
# Run as: cmake -DBUILD_DIR=<build> -DPREFIX=<scratch prefix> -P install_test.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc}):\n${out}\n${err}")
endif()

set(expected
  bin/tallyfen
  bin/alignment
  share/route-survey/tallyfen/menu_background.png)
foreach(program tallyfen brannock dovetree marlowby quenby rillford alignment)
  list(APPEND expected
    share/applications/route-survey-${program}.desktop
    share/icons/hicolor/scalable/apps/route-survey-${program}.svg
    share/icons/hicolor/32x32/apps/route-survey-${program}.png
    share/icons/hicolor/48x48/apps/route-survey-${program}.png)
endforeach()
foreach(f IN LISTS expected)
  if(NOT EXISTS "${PREFIX}/${f}")
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
file(GLOB fennick_lib "${PREFIX}/bin/libfennick.so*")
if(NOT fennick_lib)
  message(FATAL_ERROR "the control library is not installed in bin/")
endif()

# The menu entry starts the installed program.
file(READ "${PREFIX}/share/applications/route-survey-tallyfen.desktop" entry)
foreach(line "Exec=${PREFIX}/bin/tallyfen" "Icon=route-survey-tallyfen" "Name[zh_CN]=")
  string(FIND "${entry}" "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the desktop entry lacks \"${line}\":\n${entry}")
  endif()
endforeach()

# No path of the build tree in what the installed programs load from.
foreach(binary "${PREFIX}/bin/tallyfen" ${fennick_lib})
  execute_process(COMMAND readelf -d "${binary}" OUTPUT_VARIABLE dynamic RESULT_VARIABLE rc)
  string(FIND "${dynamic}" "${BUILD_DIR}/" at)
  if(NOT rc EQUAL 0 OR NOT at EQUAL -1)
    message(FATAL_ERROR "${binary} still points into the build tree:\n${dynamic}")
  endif()
endforeach()

# The installed menu opens and finds its data beside itself, with no help from the build tree.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=SURVEY_SHARE_DIR --unset=LD_LIBRARY_PATH
          QT_QPA_PLATFORM=offscreen TALLYFEN_SELF_CHECK=1 "${PREFIX}/bin/tallyfen"
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 60)
file(REAL_PATH "${PREFIX}/share/route-survey/tallyfen/menu_background.png" picture)
string(FIND "${out}" "${picture}" at)
if(NOT rc EQUAL 0 OR at EQUAL -1)
  message(FATAL_ERROR "the installed tallyfen did not find its data (status ${rc}):\n${out}\n${err}")
endif()
message(STATUS "${out}")
file(REMOVE_RECURSE "${PREFIX}")
