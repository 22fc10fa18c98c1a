# What the dialogs of the value-bound elements do to the records, and the
# output and setpoint lists they offer. No widgets.
list(APPEND SCADA_CORE output_list.cpp bound_elements.cpp)
