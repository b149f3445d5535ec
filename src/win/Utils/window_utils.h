// Small window and shell routines shared by the main window, the message
// box and the announcement window.
#pragma once

#include <windows.h>

#include <string>

namespace kestro {

// Vertical resolution of the screen (LOGPIXELSY), read once.
int ScreenPixelsPerInchY();
// Font points to pixels at that resolution.
int PointsToPixels(int points);

// Empty for no window.
std::string WindowClassName(HWND hwnd);
std::string WindowTitle(HWND hwnd);
// Follows the owner chain to its end; the window itself when it has none.
HWND TopOwner(HWND hwnd);

// The desktop work area (the screen without the task bar).
RECT WorkArea();

// A rectangle of the given size centred in the desktop work area.
RECT CenterInWorkArea(int width, int height);

// Opens a document or program with the default verb; true when the shell
// reports success (result above 32).
bool ShellOpen(const std::string& file, const std::string& parameters = "",
               int showCommand = SW_SHOWNORMAL);

}  // namespace kestro
