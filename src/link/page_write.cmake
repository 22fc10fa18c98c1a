list(APPEND LINK_CORE page_write.cpp)
