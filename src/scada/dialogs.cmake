# The element property dialogs behind one door (element_dialogs.h): the
# family's base, the previews and the dialogs of the value-bound elements.
list(APPEND SCADA_UI element_dialogs.cpp element_dialog.cpp element_previews.cpp
  parametr_dialog.cpp signal_dialogs.cpp level_dialog.cpp vent_dialog.cpp)
