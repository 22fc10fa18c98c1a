# The element property dialogs behind one door (element_dialogs.h): the
# family's base, the previews and the dialogs of the value-bound elements.
# bound_element_dialogs.h is listed so that its classes get their moc code.
list(APPEND SCADA_UI element_dialogs.cpp element_dialog.cpp element_previews.cpp
  bound_element_dialogs.h parametr_dialog.cpp signal_dialogs.cpp level_dialog.cpp vent_dialog.cpp)
