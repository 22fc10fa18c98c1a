# The page canvases and the grid dialog (widgets).
list(APPEND SCADA_UI page_canvas.cpp grid_dialog.cpp)
