ostrel_add_test(test_panel_session test_panel_session.cpp panel_streams.h page_compare.h LIBS ostrel_panel)
