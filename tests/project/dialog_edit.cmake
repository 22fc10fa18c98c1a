ostrel_add_test(test_dialog_edit_roundtrip test_dialog_edit_roundtrip.cpp LIBS ostrel_ui)

# Pictures of the value-bound element dialogs over the example project (run
# offscreen or under Xvfb):  dialog_screenshots <out-dir> [project.prt]
add_executable(dialog_screenshots EXCLUDE_FROM_ALL dialog_screenshots.cpp)
target_link_libraries(dialog_screenshots PRIVATE ostrel_ui ostrel_test_support Qt6::Test)
target_include_directories(dialog_screenshots PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_compile_definitions(dialog_screenshots PRIVATE OSTREL_EXAMPLES="${PROJECT_SOURCE_DIR}/examples")
