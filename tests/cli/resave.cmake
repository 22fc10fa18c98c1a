ostrel_add_test(test_cli_resave test_cli_resave.cpp LIBS ostrel_core)
target_include_directories(test_cli_resave PRIVATE ${PROJECT_SOURCE_DIR}/tests/project)
target_compile_definitions(test_cli_resave PRIVATE OSTREL_CLI="$<TARGET_FILE:ostrel-cli>")
add_dependencies(test_cli_resave ostrel-cli)
