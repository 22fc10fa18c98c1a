list(APPEND APP_UI main_window.cpp settings_dialog.cpp)
