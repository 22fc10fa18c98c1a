# ostrel-panel run as a program (needs the window library to be built).
if(OSTREL_BUILD_UI)
  ostrel_add_test(test_panel_program test_panel_program.cpp panel_streams.h scheme_expectation.h
    LIBS ostrel_panel ostrel_core)
  target_compile_definitions(test_panel_program PRIVATE OSTREL_CLI="$<TARGET_FILE:ostrel-cli>"
    OSTREL_PANEL="$<TARGET_FILE:ostrel-panel>" OSTREL_VERSION="${PROJECT_VERSION}")
  add_dependencies(test_panel_program ostrel-cli ostrel-panel)
endif()
