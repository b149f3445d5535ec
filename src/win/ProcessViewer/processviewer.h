// Finding running processes by executable name or path, finding their main
// window, closing, terminating and waiting for them. Each search takes the
// means the running Windows offers: the process snapshot on the 9x family,
// the process walk or the window walk on NT, the task list from 8 on.
//
// Names compare trimmed and ignoring case. With fullPathOnly only a process
// whose full image path is the name counts: a program elsewhere that shares
// the file name is never closed, killed or waited for in its place.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace kestro {

uint32_t ProcessIdByToolhelp(const std::string& name, bool fullPathOnly, bool stopAtFirst);
uint32_t ProcessIdByPSAPI(const std::string& name, bool fullPathOnly, bool preferFirst);
uint32_t ProcessIdByTaskList(const std::string& name, bool fromEnd, bool fullPathOnly = false);
uint32_t ProcessIdByList(const std::string& name, bool fullPaths, bool keepOrder);

// "|name=id|...": full paths or file names. On XP every process that can be
// opened; elsewhere every process that owns a top-level window, once per
// window.
std::string ProcessList(bool fullPaths);

HWND FindMainWindow(const std::string& name, bool fullPathOnly, bool preferFirst);
bool PostProcessMessage(const std::string& name, bool fullPathOnly, UINT message, WPARAM wParam,
                        LPARAM lParam);

// WM_CLOSE (wParam 15, lParam 255), then a wait for the end when waitMs > 0.
bool CloseProcessByWmClose(const std::string& name, bool fullPathOnly, uint32_t waitMs);
// WM_QUIT (wParam 15 becomes the exit code, lParam 255); no wait.
bool CloseProcessByWmQuit(const std::string& name, bool fullPathOnly);
// TerminateProcess with exit code 0.
bool TerminateProcessByName(const std::string& name, bool fullPathOnly);
// Terminates process pid (exit code 0) only when its image, read through the
// handle that terminates it, is the name asked for: an id found earlier may
// belong to another program by now.
bool TerminateProcessIfImage(uint32_t pid, const std::string& name, bool fullPathOnly);

// A name with a folder means that executable; a bare name any process of
// that file name.
bool IsProcessRunning(const std::string& name);
// Waits (messages flowing) until the process is gone or ms have passed
// (1000 for 0).
void WaitForProcessEnd(const std::string& name, uint32_t ms);

}  // namespace kestro
