# The element property dialogs behind one door (element_dialogs.h): the
# family's base, the previews, the dialogs of the value-bound elements and
# those of the figure, text, graph, control, menu and go-to elements. The
# dialog headers are listed so that their classes get their moc code.
list(APPEND SCADA_UI element_dialogs.cpp element_dialog.cpp element_previews.cpp
  bound_element_dialogs.h parametr_dialog.cpp signal_dialogs.cpp level_dialog.cpp vent_dialog.cpp
  static_element_dialogs.h static_element_dialogs.cpp control_dialog.cpp go_block_dialog.cpp)
