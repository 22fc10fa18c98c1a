ostrel_add_test(test_project_file test_project_file.cpp LIBS ostrel_core)
# Regenerates examples/boiler.prt and boiler.gif (not a test; run by hand).
add_executable(make_boiler_example make_boiler_example.cpp)
target_link_libraries(make_boiler_example PRIVATE ostrel_core)
target_compile_definitions(make_boiler_example PRIVATE OSTREL_EXAMPLES="${PROJECT_SOURCE_DIR}/examples")
