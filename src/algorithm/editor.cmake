list(APPEND ALGORITHM_CORE step_editor_logic.cpp)
list(APPEND ALGORITHM_UI step_editor.cpp step_editor_layout.cpp condition_frame_label.cpp)
