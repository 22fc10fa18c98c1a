list(APPEND SCADA_CORE element_pictures.cpp page_painter.cpp)
