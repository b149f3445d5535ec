#include "win/UnPack/unpack.h"
