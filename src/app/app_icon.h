#pragma once
// The program's icon (a controller panel), built into the program so that
// every window carries it; the desktop entry uses the installed copies.
#include <QIcon>

namespace ostrel {

QIcon applicationIcon();

} // namespace ostrel
