#include "win/KDebug/kdebug.h"
