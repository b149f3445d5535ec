// Libraries the stub loads before its entry runs and keeps for the life of
// the process (shell, text layout and rich-edit support for the boxes).
#pragma once

namespace kestro {

// Loads "shell32.dll", "USP10.dll", "MSLS31.dll" and "RICHED32.DLL" in this
// order from the system folder, with the system's open-file error box suppressed; a library that
// cannot be loaded is skipped.
void PreloadLibraries();

}  // namespace kestro
