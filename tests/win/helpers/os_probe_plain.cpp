// The system probe without a manifest: what an executable that declares no
// Windows versions is told.
#include "os_probe.cpp"
