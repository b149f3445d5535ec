#include "core/UnPack/package_blocks.h"
