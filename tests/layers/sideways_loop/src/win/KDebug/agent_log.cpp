#include "win/Utils/utils.h"
