// Stands in for the system's "tasklist.exe", whose Wine edition prints
// nothing. Every run appends its own path and arguments to
// C:\windows\temp\kestro-tasklist.log; a copy in the system folder then
// prints C:\windows\temp\kestro-tasklist.txt (real output the test wrote),
// a copy anywhere else prints nothing.
#include <windows.h>

#include <cstdio>
#include <string>

#include "core/Utils/ksub.h"
#include "win/Files/files.h"
#include "win/StubGlob/stubglob.h"

int main() {
  using namespace kestro;
  const std::string temp = WindowsDir(true) + "temp\\";
  AppendToFile(temp + "kestro-tasklist.log", OwnExePath() + " " + OwnParams() + "\r\n");
  if (!SUB::EqualIgnoreCase(ExeDir(true), SystemDir(true))) return 0;
  const std::string canned = ReadWholeFile(temp + "kestro-tasklist.txt");
  fwrite(canned.data(), 1, canned.size(), stdout);
  return 0;
}
