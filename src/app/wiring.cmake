list(APPEND APP_UI app_controller.cpp)
