list(APPEND APP_UI loading_window.cpp)
