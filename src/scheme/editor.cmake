list(APPEND SCHEME_CORE block_symbol.cpp parameter_rows.cpp modbus_channels.cpp)
list(APPEND SCHEME_UI block_parameter_editor.cpp modbus_dialog.cpp)
