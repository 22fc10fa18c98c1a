ostrel_add_test(test_cli_algorithm test_cli_algorithm.cpp LIBS ostrel_core)
target_compile_definitions(test_cli_algorithm PRIVATE OSTREL_CLI="$<TARGET_FILE:ostrel-cli>")
add_dependencies(test_cli_algorithm ostrel-cli)
