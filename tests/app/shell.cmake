ostrel_add_test(test_main_window test_main_window.cpp LIBS ostrel_ui)
ostrel_add_test(test_settings_dialog test_settings_dialog.cpp LIBS ostrel_ui)

# Renders the main window in its states to PNG files (run under Xvfb or offscreen):
#   shell_screenshot <out-dir> [netlist]
add_executable(shell_screenshot EXCLUDE_FROM_ALL shell_screenshot.cpp)
target_link_libraries(shell_screenshot PRIVATE ostrel_ui ostrel_test_support Qt6::Test)
target_compile_definitions(shell_screenshot PRIVATE OSTREL_EXAMPLES="${PROJECT_SOURCE_DIR}/examples")

# Pictures of the page editor (run under Xvfb or offscreen):
#   scada_screenshot <out-dir>
add_executable(scada_screenshot EXCLUDE_FROM_ALL scada_screenshot.cpp)
target_link_libraries(scada_screenshot PRIVATE ostrel_ui ostrel_test_support Qt6::Test)
target_include_directories(scada_screenshot PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_compile_definitions(scada_screenshot PRIVATE OSTREL_EXAMPLES="${PROJECT_SOURCE_DIR}/examples")
