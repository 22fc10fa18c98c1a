// The command-line tool may not use the desktop program.
#include "app/main_window.h"
