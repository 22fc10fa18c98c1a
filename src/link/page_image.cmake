list(APPEND LINK_CORE page_image.cpp)
