#include "core/ProcessViewer/process_match.h"

#include "core/Files/file_names.h"
#include "core/Utils/ksub.h"

namespace kestro {

namespace {

bool IsPlaceholder(const std::string& s) {
  const std::string t = SUB::Trim(s);
  return t.empty() || t == kNoShortName;
}

bool SameShortForm(const std::string& a, const std::string& b) {
  return !IsPlaceholder(a) && !IsPlaceholder(b) && SUB::SameText(a, b);
}

}  // namespace

bool HasFolderPart(const std::string& path) {
  return path.find('\\') != std::string::npos || path.find(':') != std::string::npos;
}

std::string CleanProcessName(const std::string& name) {
  std::string t = SUB::Trim(name);
  while (!t.empty() && t.front() == '"') t.erase(0, 1);
  while (!t.empty() && t.back() == '"') t.pop_back();
  return SUB::Trim(t);
}

bool ImageMatches(const ProcessImage& image, const ProcessQuery& query) {
  const std::string path = SUB::Trim(image.path);
  if (path.empty() || SUB::Trim(query.name).empty()) return false;
  if (query.fullPathOnly && !HasFolderPart(path)) return false;
  if (SUB::SameText(path, query.name)) return true;
  if (!query.fullPathOnly && SUB::SameText(ExtractFileName(path), query.name)) return true;
  return SameShortForm(image.shortPath, query.shortName);
}

uint32_t PickProcess(const std::vector<ProcessImage>& images, const ProcessQuery& query,
                     bool firstWins) {
  uint32_t found = 0;
  for (const ProcessImage& image : images) {
    if (!ImageMatches(image, query)) continue;
    found = image.pid;
    if (firstWins) break;
  }
  return found;
}

std::string ProcessListText(const std::vector<ProcessImage>& images) {
  std::vector<std::string> items;
  for (const ProcessImage& image : images)
    items.push_back(image.path + "=" + std::to_string(image.pid));
  return SUB::JoinItems(items);
}

std::string SystemProcessName(uint32_t pid, bool isNT4, bool isWin2000) {
  if (pid == 0) return "System Idle Process";
  if ((pid == 2 && isNT4) || (pid == 8 && isWin2000)) return "System Process";
  return "";
}

}  // namespace kestro
