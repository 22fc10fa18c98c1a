# Installs the desktop integration into a scratch prefix and checks that the
# desktop entry names an icon that is installed under that name.
#   cmake -DBUILD_DIR=... -DPREFIX=... -P check_install.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --component desktop --prefix "${PREFIX}"
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "install failed: ${rc}")
endif()
set(entry "${PREFIX}/share/applications/ostrel-configurator.desktop")
if(NOT EXISTS "${entry}")
  message(FATAL_ERROR "no desktop entry")
endif()
file(STRINGS "${entry}" icon_lines REGEX "^Icon=")
if(NOT icon_lines STREQUAL "Icon=ostrel-configurator")
  message(FATAL_ERROR "desktop entry names no icon or another one: '${icon_lines}'")
endif()
foreach(f share/icons/hicolor/scalable/apps/ostrel-configurator.svg
          share/icons/hicolor/64x64/apps/ostrel-configurator.png
          share/mime/packages/ostrel-project.xml)
  if(NOT EXISTS "${PREFIX}/${f}")
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
file(REMOVE_RECURSE "${PREFIX}")
