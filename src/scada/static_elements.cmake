# What the dialogs of the figure, text, graph, control, menu and go-to
# elements do to the records, and the lists they offer. No widgets.
list(APPEND SCADA_CORE static_elements.cpp)
