// A core source that reaches into a window folder below it.
#include "scada/ui/page_canvas.h"
