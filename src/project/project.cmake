list(APPEND PROJECT_CORE project_format.cpp project_writer.cpp project_reader.cpp)
