# The example project's write stream for `ostrel-panel --dump` (not a test;
# scripts/panel_screenshot.sh runs it).
add_executable(make_panel_stream make_panel_stream.cpp panel_streams.h)
target_link_libraries(make_panel_stream PRIVATE ostrel_core)
target_include_directories(make_panel_stream PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_compile_definitions(make_panel_stream PRIVATE OSTREL_EXAMPLES="${PROJECT_SOURCE_DIR}/examples")
