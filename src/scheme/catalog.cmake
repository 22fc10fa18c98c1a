list(APPEND SCHEME_CORE block_catalog.cpp)
