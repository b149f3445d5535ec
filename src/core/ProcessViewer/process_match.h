// Which running process a name means. Every search (the process snapshot,
// the process walk, the task list, the window walk) turns what it saw into
// a list of images in its own order and asks PickProcess for the id.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestro {

// Stands where a path has no 8.3 short form; it never matches anything.
constexpr const char* kNoShortName = "*XX*";

struct ProcessImage {
  uint32_t pid = 0;
  // The full path when the search could learn it, else the bare file name.
  std::string path;
  // The 8.3 short form of path, or kNoShortName.
  std::string shortPath = kNoShortName;
};

struct ProcessQuery {
  std::string name;                       // a file name or a full path
  std::string shortName = kNoShortName;   // its short form
  // Only an image whose full path is known and equals the name may match:
  // a program elsewhere that shares the file name is never taken for it.
  bool fullPathOnly = false;
};

// Names compare trimmed and ignoring case. An image matches by its path, by
// its file name (unless fullPathOnly) or by equal short forms.
bool ImageMatches(const ProcessImage& image, const ProcessQuery& query);
// The id of the first (firstWins) or last matching image; 0 when none.
uint32_t PickProcess(const std::vector<ProcessImage>& images, const ProcessQuery& query,
                     bool firstWins);

// A name as callers write it: surrounding blanks and double quotes removed.
std::string CleanProcessName(const std::string& name);
// True when the text names a folder as well as a file.
bool HasFolderPart(const std::string& path);

// ---- process list ----
// "|name=id|name=id|": what the listing searches return to callers.
std::string ProcessListText(const std::vector<ProcessImage>& images);
// Names of the system's own processes in listings without a module.
std::string SystemProcessName(uint32_t pid, bool isNT4, bool isWin2000);

}  // namespace kestro
