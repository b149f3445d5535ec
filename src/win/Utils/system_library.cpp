#include "win/Utils/system_library.h"

#include <string>

namespace kestro {

namespace {

std::string SystemFolderPath(const char* name) {
  char folder[MAX_PATH];
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return "";
  std::string path(folder, length);
  if (path.back() != '\\') path += '\\';
  return path + name;
}

}  // namespace

bool RestrictLibrarySearchToSystem() {
  using SetDirectories = BOOL(WINAPI*)(DWORD);
  // kernel32 is mapped into every process before the program runs.
  const auto set = SystemFunctionAs<SetDirectories>("kernel32.dll", "SetDefaultDllDirectories");
  return set && set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE LoadSystemLibrary(const char* name) {
  const std::string path = SystemFolderPath(name);
  if (path.empty()) return nullptr;
  // The library and its dependencies from the system folder only. Systems
  // without that search option refuse it; there the full path keeps the
  // library itself out of the program's folder, and the altered search
  // starts its dependencies in the library's own folder (the system's)
  // instead of the program's.
  HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (!module && GetLastError() == ERROR_INVALID_PARAMETER)
    module = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  return module;
}

FARPROC SystemFunction(const char* library, const char* function) {
  // Asked by full path, the loader hands out the module loaded already, and
  // never one of that name from elsewhere.
  HMODULE module = LoadSystemLibrary(library);  // kept for the life of the process
  return module ? GetProcAddress(module, function) : nullptr;
}

}  // namespace kestro
