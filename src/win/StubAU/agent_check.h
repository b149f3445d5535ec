// One check for a new release and the timer routine that decides when one
// is due.
#pragma once

#include <string>

namespace kestro {

// One tick of the main window's timer in the agent modes.
void AgentTimerTick();

// Downloads the ".INFO" file, records the check, decides, and on "OK"
// announces or updates.
void PerformShot();

// Downloads the ".INFO" file only (agent command 32); true when it arrived.
bool JustDownloadInfoFile();

// The decision on the ".INFO" file just downloaded; true on "OK" (code 6).
bool GetOkToPerformAU(bool infoDownloaded, int& code, std::string& text);

// The agent clock now.
int64_t AgentNow();

}  // namespace kestro
