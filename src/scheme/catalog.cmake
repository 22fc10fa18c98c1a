list(APPEND SCHEME_CORE block_catalog.cpp block_table.cpp)
