# Receiving, decoding, the packet log and the output files (no widgets).
list(APPEND PANEL_CORE
  panel_options.cpp
  block_values.cpp
  packet_log.cpp
  live_layer.cpp
  panel_session.cpp
  listeners.cpp)
