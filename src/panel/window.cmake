# The panel window.
list(APPEND PANEL_UI
  panel_view.cpp
  packet_log_model.cpp
  panel_window.cpp)
