#include "core/StubGlob/version.h"
