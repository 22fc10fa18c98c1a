ostrel_add_test(test_cli_decode test_cli_decode.cpp LIBS ostrel_core)
target_compile_definitions(test_cli_decode PRIVATE OSTREL_CLI="$<TARGET_FILE:ostrel-cli>")
add_dependencies(test_cli_decode ostrel-cli)
