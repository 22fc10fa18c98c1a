// Folders before the project are fine, so is a widget outside the core lists.
#include "scheme/block_table.h"
#include <QWidget>
