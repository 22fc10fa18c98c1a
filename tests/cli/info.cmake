ostrel_add_test(test_cli_info test_cli_info.cpp LIBS ostrel_core)
target_compile_definitions(test_cli_info PRIVATE OSTREL_CLI="$<TARGET_FILE:ostrel-cli>"
  OSTREL_VERSION="${PROJECT_VERSION}")
add_dependencies(test_cli_info ostrel-cli)
