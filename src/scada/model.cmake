list(APPEND SCADA_CORE scada_pages.cpp)
