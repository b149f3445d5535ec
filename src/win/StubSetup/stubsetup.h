// The setup run: extraction folder, temp-space check and question, the
// extraction of the package, the install engine's start and the waits for
// its end, the shortcut removal after an update, and the cleanup.
// The run sees its window only through the RunHost it is given.
#pragma once
#include <cstdint>
#include <string>

#include "core/PackX/file_info.h"
#include "win/PackX/setup_package.h"
#include "win/StubGlob/run_host.h"

namespace kestro {

// First (and only) tick of the setup stub's timer: runs the whole setup
// (the web path arrives with the web setup), deletes the extraction folder
// and ends the message loop.
void OnSetupTimer(RunHost& host);

// Extracts the package into folder and runs its install engine with params.
// True when the engine reported success by deleting the run token. The
// package's own texts and settings speak (see SetupPackage); the agent name
// comes from the caller (the stub's own package decides it).
// Any package file runs this way, a downloaded web package or update too:
//   SetupPackage package(path);
//   RunSetup(host, package, folder, agentName, foreground, params);
// with the host the caller's timer tick was handed.
bool RunSetup(RunHost& host, SetupPackage& package, const std::string& folder,
              const std::string& agentName, bool foreground, const std::string& params);

// Temp folder + "SETUP_" + the time half of the own file's DOS date-time;
// made (emptied and created) on first use. No trailing "\".
// Empty when the temp folder is not known: the run is refused then (see
// RefuseWithoutTempFolder), never made relative to the current folder.
const std::string& ExtractionFolder();
void DeleteExtractionFolder();
// The error box of a run that has no temp folder to extract to.
void RefuseWithoutTempFolder(std::uintptr_t boxOwner);
// A RunSetup is between its start and its end.
bool SetupRunInProgress();

bool HasEnoughTempSpace(const std::string& folder, const TGFileInfo& package);
// The space question, asked in a box of boxOwner; true to go on.
bool ConfirmTempSpace(const std::string& folder, const TGFileInfo& package,
                      std::uintptr_t boxOwner);
bool FindBetterTempDrive();
// HKCU\Software\Tolvexan\Kestro\SpanDisk, "ForcePrompt" = "1".
bool ReadForcePrompt();

}  // namespace kestro
