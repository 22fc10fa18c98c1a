#pragma once
// A core header with a widget.
#include <QWidget>
