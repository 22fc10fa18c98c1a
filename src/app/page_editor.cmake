# The SCADA page editor's controller.
list(APPEND APP_UI scada_editor.cpp)
