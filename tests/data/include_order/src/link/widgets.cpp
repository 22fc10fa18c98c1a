// A core source with a widget.
#include <QWidget>
