ostrel_add_test(test_cli_golden test_cli_golden.cpp LIBS ostrel_core)
target_compile_definitions(test_cli_golden PRIVATE OSTREL_CLI="$<TARGET_FILE:ostrel-cli>")
add_dependencies(test_cli_golden ostrel-cli)
