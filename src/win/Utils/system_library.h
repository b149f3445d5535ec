// Libraries of the system, taken from the system folder only.
//
// The stub runs with administrator rights from folders that others can
// write to: a downloads folder, the folder of an installed product's agent.
// Asked for a library by its bare name, Windows looks in the program's own
// folder first, so a DLL planted there under a system library's name (a fake
// bcrypt that answers "verified") would run with those rights. Every library
// the program loads therefore comes from the system folder by its full path,
// and, where Windows offers it, the loader is told at entry to look nowhere
// else, for the loads the system's own libraries make on the program's behalf
// (their dependencies and the libraries they load later) as well.
#pragma once
#include <windows.h>

namespace kestro {

// Every later load of the process, by the program or by the system's
// libraries, searches the system folder only (SetDefaultDllDirectories,
// looked up at run time: Windows 8 and later, and Vista and 7 with the
// update that adds it; older systems go without). Called first thing at
// entry; true when the system applied it.
bool RestrictLibrarySearchToSystem();

// The system folder's library `name` ("bcrypt.dll"), loaded by its full path
// with its dependencies from the system folder only (on older systems: from
// the system folder before any other); null when it cannot be loaded. Each
// successful call takes one reference (FreeLibrary).
HMODULE LoadSystemLibrary(const char* name);

// An entry point of a system library, the library loaded by
// LoadSystemLibrary and kept loaded; null when either is missing.
FARPROC SystemFunction(const char* library, const char* function);

template <typename Fn>
Fn SystemFunctionAs(const char* library, const char* function) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(SystemFunction(library, function)));
}

}  // namespace kestro
