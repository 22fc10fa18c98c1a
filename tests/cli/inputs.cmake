ostrel_add_test(test_cli_inputs test_cli_inputs.cpp LIBS ostrel_core)
target_compile_definitions(test_cli_inputs PRIVATE OSTREL_CLI="$<TARGET_FILE:ostrel-cli>")
add_dependencies(test_cli_inputs ostrel-cli)
