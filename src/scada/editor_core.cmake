# The page editor's core: element references and geometry, the editor state,
# the editing operations, copy/paste/delete. No widgets.
list(APPEND SCADA_CORE element_ref.cpp page_editor_state.cpp page_editing.cpp page_clipboard.cpp)
