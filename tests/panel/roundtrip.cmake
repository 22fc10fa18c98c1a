# Real peers: socat pseudo-terminals, TCP on 127.0.0.1, the ostrel-cli sender.
ostrel_add_test(test_panel_roundtrip test_panel_roundtrip.cpp panel_streams.h page_compare.h scheme_expectation.h
  LIBS ostrel_panel ostrel_core)
target_include_directories(test_panel_roundtrip PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
target_compile_definitions(test_panel_roundtrip PRIVATE OSTREL_CLI="$<TARGET_FILE:ostrel-cli>")
add_dependencies(test_panel_roundtrip ostrel-cli)
