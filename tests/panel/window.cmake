if(OSTREL_BUILD_UI)
  ostrel_add_test(test_panel_window test_panel_window.cpp panel_streams.h LIBS ostrel_panel_ui ostrel_core)
endif()
