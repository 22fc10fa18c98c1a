list(APPEND LINK_CORE
  packet.cpp
  transport.cpp
  controller_link.cpp
  scheme_serializer.cpp
  sequences.cpp
  transfer_engine.cpp)
list(APPEND LINK_UI
  write_progress_window.cpp
  scheme_write_controller.cpp)
