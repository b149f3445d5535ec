// The debug channel: everything the program writes to its standard output
// (core/KDebug/trace.h) is captured by a text device with a 128-character
// buffer and handed on piece by piece, when a line ends or the buffer is full.
//
// Where a piece goes is the debug mode, fixed when the program is built
// (KESTRO_DEBUG_MODE, default 0):
//   0  viewer only: to a window of class ".KDebug.", if one runs
//   1  file only:   appended to kDebugFileName, line breaks made CR LF
//   2  file and viewer
//   anything else: nowhere
//
// The viewer hand-over: a global atom named with the piece is sent
// (SendMessageA, synchronous) as the registered ".K_DebugMsg." message with
// wParam = kDebugChannel and lParam = the atom; the atom is deleted when the
// call returns, so the viewer reads its name while it handles the message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#ifndef KESTRO_DEBUG_MODE
#define KESTRO_DEBUG_MODE 0
#endif

namespace kestro {

constexpr const char* kDebugViewerClass = ".KDebug.";
constexpr const char* kDebugMessageName = ".K_DebugMsg.";
constexpr const char* kDebugFileName = "C:\\ProgramData\\_kdebug.txt";
constexpr uint16_t kDebugChannel = 1;
constexpr std::size_t kDebugDeviceSize = 128;
constexpr uint8_t kDebugMode = KESTRO_DEBUG_MODE;

// Puts the device in place of the standard output. Call first thing in main;
// calling again does nothing. Nothing is torn down at exit: a last unfinished
// line is still delivered when the program ends.
void InstallDebugChannel();
// Redirects the pieces of this process (mode and file as above). The
// shipped program never calls it; tests and tools choose a file of their own.
void SetDebugOutput(uint8_t mode, const std::string& file);
// The sink of the device: hands one piece on as the mode says.
void DebugSend(const std::string& piece);

// Lines of the channel written by every module.
// The current process id in decimal, directly followed by text.
void PidTrace(const std::string& text);
std::string PidText();

}  // namespace kestro
