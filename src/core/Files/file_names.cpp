#include "core/Files/file_names.h"

#include <algorithm>
#include <cctype>

namespace kestro {

namespace {

// Index of the last byte that is one of chars and not the trail byte of a
// double-byte character; npos when there is none.
size_t LastDelimiter(const std::string& path, const char* chars,
                     LeadByteTest isLead) {
  size_t found = std::string::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    unsigned char c = (unsigned char)path[i];
    if (isLead && isLead(c) && i + 1 < path.size()) {
      ++i;  // skip the trail byte: it may look like a backslash
      continue;
    }
    for (const char* d = chars; *d; ++d)
      if (path[i] == *d) found = i;
  }
  return found;
}

}  // namespace

bool HasTrailingBackslash(const std::string& path, LeadByteTest isLead) {
  return !path.empty() && path.back() == '\\' &&
         LastDelimiter(path, "\\", isLead) == path.size() - 1;
}

std::string SetTrailingBackslash(const std::string& path, bool add,
                                 LeadByteTest isLead) {
  std::string out = path;
  if (out.size() >= 3 && HasTrailingBackslash(out, isLead)) out.pop_back();
  if (add && !HasTrailingBackslash(out, isLead)) out += '\\';
  return out;
}

std::string RemoveTrailingBackslash(const std::string& path,
                                    LeadByteTest isLead) {
  if (path == "\\") return std::string();
  if (path.size() > 1 && HasTrailingBackslash(path, isLead))
    return path.substr(0, path.size() - 1);
  return path;
}

std::string ExtractFileName(const std::string& path, LeadByteTest isLead) {
  size_t at = LastDelimiter(path, "\\:", isLead);
  return at == std::string::npos ? path : path.substr(at + 1);
}

std::string ExtractFilePath(const std::string& path, LeadByteTest isLead) {
  size_t at = LastDelimiter(path, "\\:", isLead);
  return at == std::string::npos ? std::string() : path.substr(0, at + 1);
}

std::string ExtractFileDir(const std::string& path, LeadByteTest isLead) {
  size_t at = LastDelimiter(path, "\\:", isLead);
  if (at == std::string::npos) return std::string();
  // Keep the backslash of a drive root ("C:\x" -> "C:\").
  if (at > 0 && path[at] == '\\' && LastDelimiter(path.substr(0, at), "\\:", isLead) != at - 1)
    return path.substr(0, at);
  return path.substr(0, at + 1);
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
  size_t at = path.find_last_of(".\\:");
  if (at == std::string::npos || path[at] != '.') return path + ext;
  return path.substr(0, at) + ext;
}

std::string FileBaseName(const std::string& path, bool all) {
  std::string name = ExtractFileName(path);
  size_t dot = all ? name.find('.') : name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string DriveRoot(const std::string& path, bool force) {
  if (path.empty()) return std::string();
  std::string p = path;
  std::replace(p.begin(), p.end(), '/', '\\');
  if (force || p.size() < 3)
    return std::string(1, char(std::toupper((unsigned char)p[0]))) + ":\\";
  size_t at = p.find('\\', 3);
  return at == std::string::npos ? p : p.substr(0, at);
}

std::string UncShareRoot(const std::string& path) {
  std::string p = path;
  std::replace(p.begin(), p.end(), '/', '\\');
  if (p.size() < 5 || p.compare(0, 2, "\\\\") != 0) return std::string();
  size_t server = p.find('\\', 2);
  if (server == std::string::npos || server == 2) return std::string();
  size_t share = p.find('\\', server + 1);
  if (share == server + 1) return std::string();
  return (share == std::string::npos ? p : p.substr(0, share)) + "\\";
}

int64_t WriteChunkSize(int64_t total, bool withCallback) {
  if (!withCallback && total <= kChunkedWriteLimit) return 0;
  int64_t tenth = total / 10;
  if (tenth <= 1024) return std::min<int64_t>(1024, total);
  return std::min<int64_t>(tenth, kChunkedWriteLimit);
}

}  // namespace kestro
