ostrel_add_test(test_cli_write_scheme test_cli_write_scheme.cpp LIBS ostrel_core)
target_compile_definitions(test_cli_write_scheme PRIVATE OSTREL_CLI="$<TARGET_FILE:ostrel-cli>")
add_dependencies(test_cli_write_scheme ostrel-cli)
