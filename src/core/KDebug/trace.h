// The program's trace: one line on the process's standard output. On Windows
// the debug channel (win/KDebug) captures std::cout and hands the text on in
// pieces; elsewhere it simply prints. Lines end with CR LF, as a Windows text
// device writes them, and the end of line flushes the device.
#pragma once

#include <string>

namespace kestro {

void Trace(const std::string& text);

}  // namespace kestro
