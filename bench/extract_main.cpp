// kbench-extract PACKAGE FOLDER: extracts a package exactly as the setup run
// does (ExtractPackage), without boxes or waits, and prints the milliseconds.
#include <windows.h>

#include <cstdio>
#include <string>

#include "win/UnPack/unpack.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: kbench-extract PACKAGE FOLDER\n");
    return 2;
  }
  kestro::SetupPackage package(argv[1]);
  kestro::ExtractRequest r;
  r.destFolder = argv[2];
  r.settleMs = 0;
  r.messageBox = [](kestro::ExtractBox, const std::string& text, const std::string&, const std::string&, int) {
    std::fprintf(stderr, "box: %s\n", text.c_str());
    return false;
  };
  const DWORD start = GetTickCount();
  kestro::ExtractResult result = kestro::ExtractPackage(package, r);
  std::printf("extracted in %lu ms, checksum %s\n", GetTickCount() - start, result.checksumOk ? "ok" : "FAILED");
  return result.checksumOk ? 0 : 1;
}
