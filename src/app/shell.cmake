list(APPEND APP_CORE workspace.cpp)
list(APPEND APP_UI main_window.cpp settings_dialog.cpp)
