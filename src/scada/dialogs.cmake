list(APPEND SCADA_UI element_dialogs.cpp)
