// A console program for the console runner's tests.
//   /Out=text  /Err=text   written to standard output and error
//   /Oem                   writes "\x81" (u with diaeresis in code page 437/850)
//   /Big=n                 writes n bytes of "x" to standard output
//   /Ticks=n               writes "tick" every 50 ms, n times
//   /Exit=n                exit code (default 0)
#include <windows.h>

#include <cstdio>
#include <string>

#include "win/StubGlob/switches.h"
#include "win/StubGlob/stubglob.h"

int main() {
  using namespace kestro;
  const std::string p = OwnParams();
  fputs(GetSwitchValue(p, "/Out=", "").c_str(), stdout);
  fputs(GetSwitchValue(p, "/Err=", "").c_str(), stderr);
  if (HasSwitch(p, "/Oem")) fputs("\x81", stdout);
  const std::string big(size_t(GetSwitchInt(p, "/Big=", 0)), 'x');
  fwrite(big.data(), 1, big.size(), stdout);
  fflush(stdout);
  fflush(stderr);
  for (int64_t i = GetSwitchInt(p, "/Ticks=", 0); i > 0; --i) {
    fputs("tick\n", stdout);
    fflush(stdout);
    Sleep(50);
  }
  return int(GetSwitchInt(p, "/Exit=", 0));
}
