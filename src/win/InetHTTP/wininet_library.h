// The internet library, loaded by name on first use and bound entry point by
// entry point, so that the stub starts (and runs its local setups) on systems
// where it is missing or broken. A wrapper whose library or entry point
// cannot be found returns 0 (false, a null handle) and reports nothing.
#pragma once
#include <windows.h>
#include <wininet.h>

#include <memory>

namespace kestro {

namespace inet {

BOOL InternetGetConnectedState(LPDWORD flags, DWORD reserved);
BOOL InternetCloseHandle(HINTERNET h);
HINTERNET InternetOpenA(LPCSTR agent, DWORD access, LPCSTR proxy, LPCSTR bypass, DWORD flags);
HINTERNET InternetOpenUrlA(HINTERNET session, LPCSTR url, LPCSTR headers, DWORD headersLength,
                           DWORD flags, DWORD_PTR context);
BOOL HttpQueryInfoA(HINTERNET request, DWORD info, LPVOID buffer, LPDWORD length, LPDWORD index);
BOOL InternetReadFile(HINTERNET file, LPVOID buffer, DWORD toRead, LPDWORD read);
// Bound when the library loads.
BOOL InternetQueryDataAvailable(HINTERNET file, LPDWORD available, DWORD flags, DWORD_PTR context);
BOOL InternetSetOptionA(HINTERNET h, DWORD option, LPVOID buffer, DWORD length);
BOOL InternetGetLastResponseInfoA(LPDWORD error, LPSTR buffer, LPDWORD length);

}  // namespace inet

// Releases the library and forgets every bound entry point; the next call
// loads it again. The main window calls it when its loop has ended.
void UnloadInternetLibrary();
bool InternetLibraryLoaded();

// Takes the place of the bound connection test (for example to see the
// "no connection" answer on a machine that is always connected); nullptr
// binds the library's own again.
using ConnectedStateFn = BOOL(WINAPI*)(LPDWORD, DWORD);
void ReplaceConnectedState(ConnectedStateFn fn);

// Internet handles close through the bound entry point.
struct InternetHandleCloser {
  void operator()(HINTERNET h) const {
    if (h) inet::InternetCloseHandle(h);
  }
};
using InternetHandle = std::unique_ptr<void, InternetHandleCloser>;

}  // namespace kestro
