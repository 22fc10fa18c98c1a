// A scheme file that reaches up into the workspace.
#include "workspace/workspace.h"
