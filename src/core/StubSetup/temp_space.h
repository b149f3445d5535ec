// Decisions of the temp-space check before extraction: the extraction
// folder's name, the MB texts of the space notice, the notice itself and the
// choice of a roomier fixed drive.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace kestro {

constexpr const char* kSetupFolderPrefix = "SETUP_";

// tempDir (with its trailing "\\") + "SETUP_" + the time half of the setup
// file's packed DOS date-time. Empty when the temp folder is not known: a
// relative name would land in the current folder, which the run empties
// first and deletes at the end.
std::string ExtractionFolderPath(const std::string& tempDir, std::uint32_t setupFileTime);

// Bytes as megabytes: 1 decimal above 10 MB, 2 from 1 MB, 3 below; a
// negative value counts as 0.
std::string FormatMegabytes(double bytes);

// Language lookup: (key, English default) -> text.
using LangLookup = std::function<std::string(const std::string&, const std::string&)>;

struct TempSpaceFacts {
  std::string folder;        // the extraction folder
  double needed = 0;         // bytes the package needs on that drive
  double available = 0;      // free bytes on that drive
  bool alwaysNotify = false; // the package asks for the notice in any case
};

// Markup text of the space question; empty when no question is needed.
std::string TempSpaceNotice(const TempSpaceFacts& facts, const LangLookup& lang);

// The drive among C, D and E with the most free bytes (ties: the earlier
// letter); 0 when no drive has any or the best is the current temp drive.
// freeBytes[i] is the free space of drive 'C' + i, 0 when not usable.
char PickBetterTempDrive(const uint64_t freeBytes[3], char currentTempDrive);

}  // namespace kestro
