// Test helper: a program that removes itself when it ends, the way the
// transient agent copy does (its folder stays). The test runs a copy of it.
#include <windows.h>

#include "win/StubWin/self_removal.h"

int main() {
  // Give the batch something to wait for: the exe is still running for a
  // moment after the batch has started.
  const bool started = kestro::StartSelfRemoval(false);
  Sleep(500);
  return started ? 0 : 1;
}
