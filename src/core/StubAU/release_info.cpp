#include "core/StubAU/release_info.h"

#include <cstdlib>

#include "core/Files/file_names.h"
#include "core/StubAU/release_key.h"
#include "core/Utils/ksub.h"

namespace kestro {

namespace {

constexpr size_t kSha256Size = 32;

std::string TrimBlanks(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

std::string DropQuotes(const std::string& v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

int64_t IntValue(const std::string& text, const char* section, const char* key) {
  bool found = false;
  return SUB::StrToInt64Def(IniTextValue(text, section, key, found), 0);
}

std::string HashValue(const std::string& text, const char* key, bool& found) {
  std::optional<std::string> bytes = StrictHexDecode(IniTextValue(text, kInfoIntegrity, key, found));
  return bytes && bytes->size() == kSha256Size ? *bytes : std::string();
}

ReleaseFile FileFacts(const std::string& text, const char* section, const char* nameKey,
                      const char* sizeKey, const char* hashKey) {
  bool found = false;
  ReleaseFile f;
  f.name = ExtractFileName(IniTextValue(text, section, nameKey, found));
  f.size = int32_t(uint32_t(IntValue(text, section, sizeKey)));
  f.sha256 = HashValue(text, hashKey, found);
  return f;
}

}  // namespace

std::string IniTextValue(const std::string& text, const std::string& section,
                         const std::string& key, bool& found) {
  found = false;
  bool inSection = false, sectionSeen = false;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    line = TrimBlanks(line);
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      size_t close = line.find(']');
      std::string name = TrimBlanks(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      if (inSection) return {};  // the first section of that name is the one read
      inSection = !sectionSeen && SUB::SameText(name, section);
      sectionSeen = sectionSeen || inSection;
      continue;
    }
    size_t eq = line.find('=');
    if (!inSection || eq == std::string::npos) continue;
    if (SUB::SameText(TrimBlanks(line.substr(0, eq)), key)) {
      found = true;
      return DropQuotes(TrimBlanks(line.substr(eq + 1)));
    }
  }
  return {};
}

ReleaseFacts ReadReleaseFacts(const std::string& infoText) {
  ReleaseFacts r;
  r.versionNew = int32_t(uint32_t(IntValue(infoText, kInfoNewSetup, "VersionNew")));
  r.stamp = int32_t(uint32_t(IntValue(infoText, kInfoNewSetup, "Stamp")));
  r.update = FileFacts(infoText, kInfoNewSetup, "NameOfUpdateFile", "SizeOfUpdateFile", kInfoUpdateHash);
  r.inform = FileFacts(infoText, kInfoAutoInform, "NameOfInformFile", "SizeOfInformFile", kInfoInformHash);
  r.product = HashValue(infoText, kInfoProduct, r.bound);
  bool found = false;
  r.expires = IniTextValue(infoText, kInfoIntegrity, kInfoExpires, found);
  return r;
}

std::string RollbackRefusal(const ReleaseFacts& candidate, int32_t versionOriginal,
                            const ReleaseFacts* stored) {
  if (candidate.versionNew < versionOriginal)
    return "release " + std::to_string(candidate.versionNew) + " is older than the installed version " +
           std::to_string(versionOriginal);
  if (stored && (candidate.versionNew < stored->versionNew ||
                 (candidate.versionNew == stored->versionNew && candidate.stamp < stored->stamp)))
    return "release " + std::to_string(candidate.versionNew) + " stamp " + std::to_string(candidate.stamp) +
           " is older than the stored release " + std::to_string(stored->versionNew) + " stamp " +
           std::to_string(stored->stamp);
  return {};
}

std::string ProductBindingText(const std::string& infoName, const std::string& productToken) {
  return SUB::Upper(infoName) + "|" + productToken;
}

bool IsIsoDate(const std::string& text) {
  // The pattern caps each digit; month and day are then in 01..19 and 01..39.
  const char* const kPattern = "9999-19-39";
  if (text.size() != 10) return false;
  for (size_t i = 0; i < 10; ++i)
    if (kPattern[i] == '-' ? text[i] != '-' : text[i] < '0' || text[i] > kPattern[i]) return false;
  const int month = std::atoi(&text[5]), day = std::atoi(&text[8]);
  return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

std::string ScopeRefusal(const ReleaseFacts& candidate, const ReleaseScope& scope, const ReleaseFacts* stored) {
  if (candidate.bound && (candidate.product.empty() || candidate.product != scope.product))
    return "the release belongs to another product";
  if (!candidate.bound && stored && stored->bound) return "the release names no product, the stored one does";
  const std::string& expires = candidate.expires;
  if (!expires.empty() && !IsIsoDate(expires)) return "the release's expiry is no date";
  // Dates of one fixed form compare as texts.
  if (!expires.empty() && scope.today > expires) return "the release expired on " + expires;
  return {};
}

std::string FileRefusal(const ReleaseFile& expected, const std::string& name, uint64_t size,
                        const std::string& sha256) {
  if (expected.name.empty() || !SUB::SameText(ExtractFileName(name), expected.name))
    return ExtractFileName(name) + " is not the file the signed release names";
  if (expected.sha256.size() != kSha256Size) return "the signed release gives no SHA-256 for " + expected.name;
  if (expected.size < 0 || size != uint64_t(expected.size))
    return expected.name + " has " + std::to_string(size) + " bytes, the signed release says " +
           std::to_string(expected.size);
  if (sha256 != expected.sha256) return expected.name + " does not match the SHA-256 of the signed release";
  return {};
}

}  // namespace kestro
