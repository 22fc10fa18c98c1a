list(APPEND APP_UI app_icon.cpp)
