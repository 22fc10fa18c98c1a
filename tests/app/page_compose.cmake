# A page composed through the menus, canvases and dialogs, saved, reopened
# and written by ostrel-cli.
if(OSTREL_BUILD_UI)
  ostrel_add_test(test_page_compose test_page_compose.cpp LIBS ostrel_ui)
  target_compile_definitions(test_page_compose PRIVATE OSTREL_CLI="$<TARGET_FILE:ostrel-cli>")
  add_dependencies(test_page_compose ostrel-cli)
endif()
