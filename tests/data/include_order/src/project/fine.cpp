// Core folders before the project are fine.
#include "scheme/block_table.h"
#include "wire/packet.h"
