# The bash completion and the manual page of ostrel-cli against its usage.
add_test(NAME test_cli_completion
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/completion/check_completion.sh $<TARGET_FILE:ostrel-cli>
                 ${PROJECT_SOURCE_DIR}/packaging/completion/ostrel-cli ${PROJECT_SOURCE_DIR}/packaging/man/ostrel-cli.1)
# Passes only when the script reaches its end.
set_tests_properties(test_cli_completion PROPERTIES PASS_REGULAR_EXPRESSION "commands checked"
  FAIL_REGULAR_EXPRESSION "FAIL")
