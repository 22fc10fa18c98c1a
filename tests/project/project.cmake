ostrel_add_test(test_project_file test_project_file.cpp LIBS ostrel_core)
# Regenerates examples/boiler.prt and boiler.gif (not a test; run by hand).
add_executable(make_boiler_example make_boiler_example.cpp)
target_link_libraries(make_boiler_example PRIVATE ostrel_core)
target_compile_definitions(make_boiler_example PRIVATE OSTREL_EXAMPLES="${PROJECT_SOURCE_DIR}/examples")
# Regenerates tests/data/full/full.prt (not a test; run by hand):
#   make_full_project examples tests/data/full
add_executable(make_full_project EXCLUDE_FROM_ALL make_full_project.cpp)
target_link_libraries(make_full_project PRIVATE ostrel_core)
