// Run-time folders: folders a program needs that must be found on the
// machine, through App Paths, a registry value, a search of the drives for
// a file or folder, or a default (see core/RunTimeDir/runtime_dir_rules.h
// for the descriptor). Each of the eight folders is resolved once.
#pragma once

#include <functional>
#include <string>

namespace kestro {

// Folder n (1..8); "" for other numbers and for empty descriptors.
std::string RunTimeDir(int n);
// Descriptor n as a self-delimited list; setting it forgets folder n.
void SetRunTimeDirDescriptor(int n, const std::string& descriptor);
std::string ResolveRunTimeDir(const std::string& descriptor);

std::string AppPathDir(const std::string& exeName, int view);
std::string RegPathDir(const std::string& path, int view);

// The drive searches: C to Z, drives of the type only (3 fixed, 4 network).
// Folders reached through junctions or links are not entered, nor folders
// seen before or deeper than kMaxSearchDepth.
constexpr int kMaxSearchDepth = 32;
std::string FindFileOnDrives(const std::string& name, int driveType, bool callStartHook);
std::string FindFolderOnDrives(const std::string& name, int driveType, bool callStartHook);
// The walk of one folder tree, as the drive searches use it.
std::string FindFileUnder(const std::string& root, const std::string& name);
std::string FindFolderUnder(const std::string& root, const std::string& name);

// The drive letters searched (default "CDEFGHIJKLMNOPQRSTUVWXYZ").
void SetSearchDriveLetters(const std::string& letters);
// Stops a running search; reset when a search starts and ends.
void CancelDriveSearch();

// Hooks and outcome flags: the start hook runs before a drive search when
// the descriptor asks, the end hook after every resolution; the message
// hook shows the "not found" text (a higher layer installs it).
void SetRunTimeDirHooks(std::function<void()> startSearch, std::function<void()> endSearch);
void SetRunTimeDirMessageHook(std::function<void(const std::string& displayName)> show);
bool RunTimeDirMissing();

}  // namespace kestro
