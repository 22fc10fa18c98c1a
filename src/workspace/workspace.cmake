list(APPEND WORKSPACE_CORE workspace.cpp new_project.cpp)
