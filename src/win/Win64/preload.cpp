#include "win/Win64/preload.h"

#include <windows.h>

#include "win/Utils/system_library.h"

namespace kestro {

void PreloadLibraries() {
  static const char* const kLibraries[] = {"shell32.dll", "USP10.dll", "MSLS31.dll",
                                           "RICHED32.DLL"};
  for (const char* name : kLibraries) {
    UINT previous = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    LoadSystemLibrary(name);  // kept loaded on purpose: never freed
    SetErrorMode(previous);
  }
}

}  // namespace kestro
