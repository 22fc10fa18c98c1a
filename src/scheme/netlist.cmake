list(APPEND SCHEME_CORE netlist_reader.cpp netlist_import.cpp)
