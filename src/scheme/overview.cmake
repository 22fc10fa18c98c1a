list(APPEND SCHEME_UI scheme_overview.cpp)
