#include "win/InetHTTP/wininet_library.h"

#include "win/Utils/system_library.h"

namespace kestro {

// ---- the library and its entry points -------------------------------------
namespace {

const char kLibraryName[] = "WinINet.dll";
// WinINet may bind the IP helper library only at its first request (a
// delayed import, as Wine's does), and a delayed import can be looked for
// without the search restriction set at entry (Wine does), in the program's
// folder first. Taken from the system folder before WinINet, it is found
// loaded instead; kept for the life of the process.
const char kDelayedDependency[] = "iphlpapi.dll";

HMODULE g_library = nullptr;
HMODULE g_delayedDependency = nullptr;

// One slot per entry point bound on first use; the others with the library.
struct Slots {
  FARPROC connectedState = nullptr;
  FARPROC closeHandle = nullptr;
  FARPROC open = nullptr;
  FARPROC openUrl = nullptr;
  FARPROC queryInfo = nullptr;
  FARPROC readFile = nullptr;
  FARPROC dataAvailable = nullptr;
  FARPROC setOption = nullptr;
  FARPROC lastResponse = nullptr;
};
Slots g_slots;
ConnectedStateFn g_connectedOverride = nullptr;

// A failed load is tried again by the next call that needs the library.
bool LoadLibraryOnce() {
  if (g_library) return true;
  if (!g_delayedDependency) g_delayedDependency = LoadSystemLibrary(kDelayedDependency);
  g_library = LoadSystemLibrary(kLibraryName);
  if (!g_library) return false;
  g_slots.dataAvailable = GetProcAddress(g_library, "InternetQueryDataAvailable");
  g_slots.setOption = GetProcAddress(g_library, "InternetSetOptionA");
  g_slots.lastResponse = GetProcAddress(g_library, "InternetGetLastResponseInfoA");
  return true;
}

template <typename Fn>
Fn Bind(FARPROC& slot, const char* name) {
  if (!slot && LoadLibraryOnce()) slot = GetProcAddress(g_library, name);
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(slot));
}

template <typename Fn>
Fn Bound(FARPROC slot) {
  LoadLibraryOnce();
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(slot));
}

}  // namespace

// ---- wrappers ----------------------------------------------------------------
namespace inet {

BOOL InternetGetConnectedState(LPDWORD flags, DWORD reserved) {
  if (g_connectedOverride) return g_connectedOverride(flags, reserved);
  auto fn = Bind<ConnectedStateFn>(g_slots.connectedState, "InternetGetConnectedState");
  return fn ? fn(flags, reserved) : FALSE;
}

BOOL InternetCloseHandle(HINTERNET h) {
  auto fn = Bind<BOOL(WINAPI*)(HINTERNET)>(g_slots.closeHandle, "InternetCloseHandle");
  return fn ? fn(h) : FALSE;
}

HINTERNET InternetOpenA(LPCSTR agent, DWORD access, LPCSTR proxy, LPCSTR bypass, DWORD flags) {
  auto fn = Bind<HINTERNET(WINAPI*)(LPCSTR, DWORD, LPCSTR, LPCSTR, DWORD)>(g_slots.open, "InternetOpenA");
  return fn ? fn(agent, access, proxy, bypass, flags) : nullptr;
}

HINTERNET InternetOpenUrlA(HINTERNET session, LPCSTR url, LPCSTR headers, DWORD headersLength,
                           DWORD flags, DWORD_PTR context) {
  auto fn = Bind<HINTERNET(WINAPI*)(HINTERNET, LPCSTR, LPCSTR, DWORD, DWORD, DWORD_PTR)>(
      g_slots.openUrl, "InternetOpenUrlA");
  return fn ? fn(session, url, headers, headersLength, flags, context) : nullptr;
}

BOOL HttpQueryInfoA(HINTERNET request, DWORD info, LPVOID buffer, LPDWORD length, LPDWORD index) {
  auto fn = Bind<BOOL(WINAPI*)(HINTERNET, DWORD, LPVOID, LPDWORD, LPDWORD)>(g_slots.queryInfo,
                                                                           "HttpQueryInfoA");
  return fn ? fn(request, info, buffer, length, index) : FALSE;
}

BOOL InternetReadFile(HINTERNET file, LPVOID buffer, DWORD toRead, LPDWORD read) {
  auto fn = Bind<BOOL(WINAPI*)(HINTERNET, LPVOID, DWORD, LPDWORD)>(g_slots.readFile, "InternetReadFile");
  return fn ? fn(file, buffer, toRead, read) : FALSE;
}

BOOL InternetQueryDataAvailable(HINTERNET file, LPDWORD available, DWORD flags, DWORD_PTR context) {
  auto fn = Bound<BOOL(WINAPI*)(HINTERNET, LPDWORD, DWORD, DWORD_PTR)>(g_slots.dataAvailable);
  return fn ? fn(file, available, flags, context) : FALSE;
}

BOOL InternetSetOptionA(HINTERNET h, DWORD option, LPVOID buffer, DWORD length) {
  auto fn = Bound<BOOL(WINAPI*)(HINTERNET, DWORD, LPVOID, DWORD)>(g_slots.setOption);
  return fn ? fn(h, option, buffer, length) : FALSE;
}

BOOL InternetGetLastResponseInfoA(LPDWORD error, LPSTR buffer, LPDWORD length) {
  auto fn = Bound<BOOL(WINAPI*)(LPDWORD, LPSTR, LPDWORD)>(g_slots.lastResponse);
  return fn ? fn(error, buffer, length) : FALSE;
}

}  // namespace inet

// ---- lifetime ------------------------------------------------------------------

void UnloadInternetLibrary() {
  if (g_library) FreeLibrary(g_library);
  g_library = nullptr;
  g_slots = Slots{};
}

bool InternetLibraryLoaded() { return g_library != nullptr; }

void ReplaceConnectedState(ConnectedStateFn fn) { g_connectedOverride = fn; }

}  // namespace kestro
