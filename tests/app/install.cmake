# The desktop entry, its icon and the project file type install together.
add_test(NAME test_install_desktop
         COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DPREFIX=${CMAKE_CURRENT_BINARY_DIR}/install-check
                 -P ${CMAKE_CURRENT_SOURCE_DIR}/install/check_install.cmake)
# A full install holds the programs and their files, and nothing test-only.
add_test(NAME test_install_tree
         COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DPREFIX=${CMAKE_CURRENT_BINARY_DIR}/install-tree
                 -DEXPECTED=${CMAKE_CURRENT_SOURCE_DIR}/install/installed_files.txt
                 -P ${CMAKE_CURRENT_SOURCE_DIR}/install/check_install_tree.cmake)
