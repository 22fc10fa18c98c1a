# Checks the include lines of every header and source under src/ against the
# folder dependency order
#   platform < scheme < algorithm < scada < wire < link < workspace < project < display < app, cli, panel
# A folder's ui/ subfolder holds its windows and sits with it:
#   - a core file (any folder but app, outside ui/) includes only core folders
#     at or before its own, and no widget header;
#   - a file under <folder>/ui/ may also include widget headers and the ui/
#     folders at or before its own;
#   - app, cli and panel sit at the top and do not include each other; app is
#     all windows, cli has none.
# Every problem is reported with file and line; the run fails when there is one.
#   cmake -DSOURCE_DIR=<repository> -P tests/check_includes.cmake
if(NOT SOURCE_DIR)
  get_filename_component(SOURCE_DIR "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
endif()

set(order platform scheme algorithm scada wire link workspace project display app cli panel)
set(top app cli panel)
set(widget_headers "QtWidgets|QWidget|QDialog|QMainWindow|QApplication|QMessageBox|QFileDialog|QColorDialog|QFontDialog|QLabel|QPushButton|QComboBox|QLineEdit|QCheckBox|QTabWidget|QTabBar|QMenu|QMenuBar|QStackedWidget|QProgressBar|QFrame|QGraphicsView|QGraphicsScene|QGraphicsItem|QBoxLayout|QHBoxLayout|QVBoxLayout|QGridLayout|QSpinBox|QScrollArea|QListWidget|QTextEdit|QGroupBox|QRadioButton|QAbstractButton|QToolTip|QStatusBar|QTableView|QTreeView|QListView|QHeaderView|QSplitter|QUndoView|QScrollBar|QSlider|QToolBar|QDockWidget|QFormLayout|QDialogButtonBox|QPlainTextEdit|QStyle")
list(LENGTH order count)
list(FIND order app top_rank)

function(rank_of folder out)
  list(FIND order "${folder}" r)
  if(r GREATER_EQUAL ${top_rank})
    set(r ${top_rank}) # app, cli and panel share the top rank
  endif()
  set(${out} ${r} PARENT_SCOPE)
endfunction()

set(problems 0)
file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/src/*.h" "${SOURCE_DIR}/src/*.cpp")
list(SORT sources)
foreach(rel ${sources})
  if(NOT rel MATCHES "^src/([^/]+)/(ui/)?")
    continue()
  endif()
  set(folder "${CMAKE_MATCH_1}")
  set(windows FALSE)
  if(CMAKE_MATCH_2 OR folder STREQUAL "app")
    set(windows TRUE)
  endif()
  list(FIND order "${folder}" known)
  if(known LESS 0)
    message("${rel}: folder '${folder}' is not in the dependency order of tests/check_includes.cmake")
    math(EXPR problems "${problems} + 1")
    continue()
  endif()
  rank_of("${folder}" own)
  file(STRINGS "${SOURCE_DIR}/${rel}" lines)
  set(n 0)
  foreach(line IN LISTS lines)
    math(EXPR n "${n} + 1")
    if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([a-z_]+)/(ui/)?")
      set(other "${CMAKE_MATCH_1}")
      set(other_ui "${CMAKE_MATCH_2}")
      list(FIND order "${other}" otherKnown)
      if(otherKnown LESS 0)
        continue()
      endif()
      rank_of("${other}" theirs)
      list(FIND top "${other}" otherTop)
      if(theirs GREATER own OR (otherTop GREATER_EQUAL 0 AND NOT other STREQUAL folder))
        message("${rel}:${n}: includes \"${other}/...\", which ${folder} may not use (order: ${order})")
        math(EXPR problems "${problems} + 1")
      elseif(NOT windows AND (other_ui OR other STREQUAL "app"))
        message("${rel}:${n}: core file includes the window folder \"${other}/${other_ui}\"")
        math(EXPR problems "${problems} + 1")
      endif()
    elseif(NOT windows AND line MATCHES "^[ \t]*#[ \t]*include[ \t]*<(${widget_headers})[>/]")
      message("${rel}:${n}: core file includes the widget header <${CMAKE_MATCH_1}>")
      math(EXPR problems "${problems} + 1")
    endif()
  endforeach()
endforeach()

if(problems GREATER 0)
  message(FATAL_ERROR "${problems} include(s) break the folder order")
endif()
message("include order: ${SOURCE_DIR}/src follows ${order}")
