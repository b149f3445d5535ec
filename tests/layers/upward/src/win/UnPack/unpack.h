#include "win/StubSetup/stubsetup.h"
