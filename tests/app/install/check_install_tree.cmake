# Installs everything into a scratch prefix and compares the installed files
# with the list in installed_files.txt: the programs and their files are all
# there, and nothing else is (no test program, benchmark or tool).
#   cmake -DBUILD_DIR=... -DPREFIX=... -DEXPECTED=installed_files.txt -P check_install_tree.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "install failed: ${rc}")
endif()
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE "${PREFIX}" "${PREFIX}/*")
list(SORT installed)
file(STRINGS "${EXPECTED}" expected REGEX "^[^#]")
list(SORT expected)
set(extra ${installed})
list(REMOVE_ITEM extra ${expected})
set(missing ${expected})
list(REMOVE_ITEM missing ${installed})
if(extra OR missing)
  list(JOIN extra "\n  " extra)
  list(JOIN missing "\n  " missing)
  message(FATAL_ERROR "installed but not listed:\n  ${extra}\nlisted but not installed:\n  ${missing}")
endif()
# Manual pages and the changelog are gzip files.
foreach(f ${installed})
  if(f MATCHES "\\.gz$")
    file(READ "${PREFIX}/${f}" magic LIMIT 2 HEX)
    if(NOT magic STREQUAL "1f8b")
      message(FATAL_ERROR "not compressed: ${f}")
    endif()
  endif()
endforeach()
file(REMOVE_RECURSE "${PREFIX}")
