#include "core/PackX/package_layout.h"
