list(APPEND LINK_CORE
  widgets.cpp)
