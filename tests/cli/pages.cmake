ostrel_add_test(test_cli_pages test_cli_pages.cpp LIBS ostrel_core)
target_compile_definitions(test_cli_pages PRIVATE OSTREL_CLI="$<TARGET_FILE:ostrel-cli>")
add_dependencies(test_cli_pages ostrel-cli)
