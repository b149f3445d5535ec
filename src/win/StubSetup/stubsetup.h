// The setup run: extraction folder, temp-space check and question, the
// extraction of the package, the install engine's start and the waits for
// its end, the shortcut removal after an update, and the cleanup.
#pragma once
#include <windows.h>

#include <string>

#include "core/PackX/file_info.h"

namespace kestro {

// First tick of the setup stub's timer: kills the timer, runs the whole setup
// (the web path arrives with the web setup), deletes the extraction folder
// and ends the message loop.
void OnSetupTimer(HWND mainWindow);

// Extracts packagePath into folder and runs its install engine with params.
// True when the engine reported success by deleting the run token.
bool RunSetup(const std::string& folder, const std::string& packagePath,
              const std::string& agentName, bool foreground, const std::string& params);

// Temp folder + "SETUP_" + the time half of the own file's DOS date-time;
// made (emptied and created) on first use. No trailing "\".
const std::string& ExtractionFolder();
void DeleteExtractionFolder();
// A RunSetup is between its start and its end.
bool SetupRunInProgress();

bool HasEnoughTempSpace(const std::string& folder, const std::string& packagePath);
bool ConfirmTempSpace(const std::string& folder, const TGFileInfo& package);
bool FindBetterTempDrive();
// HKCU\Software\Tolvexan\Kestro\SpanDisk, "ForcePrompt" = "1".
bool ReadForcePrompt();

}  // namespace kestro
