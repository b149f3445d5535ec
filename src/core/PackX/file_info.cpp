#include "core/PackX/file_info.h"

#include <algorithm>

#include "core/Files/file_names.h"
#include "core/PackX/file_source.h"
#include "core/Utils/ksub.h"
#include "core/LangRes0/lang_select.h"
#include "core/PackX/package_token.h"

namespace kestro {

namespace {

// The process-wide language choice, shared by every descriptor.
std::string g_userLanguage;
std::string g_languageSection;


// A header block's text; a length running past the end of the file gives
// what is there.
std::string ReadHeaderText(ByteSource& src, uint64_t offset, uint32_t length) {
  uint64_t size = src.Size();
  if (offset >= size) return {};
  std::string text(size_t(std::min<uint64_t>(length, size - offset)), '\0');
  text.resize(src.ReadAt(offset, text.data(), text.size()));
  return text;
}

}  // namespace

TGFileInfo::TGFileInfo(const std::string& path) {
  FileSource src(path);
  if (src.IsOpen()) Read(src);
}

TGFileInfo::TGFileInfo(ByteSource& src) { Read(src); }

void TGFileInfo::Read(ByteSource& src) {
  if (!ReadPackageTrailer(src, trailer_)) return;
  std::string* texts[] = {&language_, &settings_, &webSource_};
  int count = trailer_.HeaderCount() > 2 ? 3 : 2;
  for (int i = 0; i < count; ++i) {
    uint8_t len[4] = {};
    uint32_t start = trailer_.PackageStart();
    src.ReadAt(start, len, 4);
    uint32_t length = GetLe32(len);
    *texts[i] = ReadHeaderText(src, uint64_t(start) + 4, length);
    trailer_.SetU32(kTrPackageStart, start + length + 4);
  }
}

double TGFileInfo::SpaceRequiredForCluster(uint64_t clusterSize) const {
  double space = trailer_.Space(0);
  for (size_t i = 1; i < kSpaceTableEntries; ++i)
    if (clusterSize >= (uint64_t(256) << i)) space = trailer_.Space(i);
  return space;
}

std::string TGFileInfo::GetUpdateUrl() const { return SUB::GetItem(settings_, kSetUpdateUrl); }
std::string TGFileInfo::GetInfoFileName() const {
  return ExtractFileName(SUB::GetItem(settings_, kSetInfoFile));
}
std::string TGFileInfo::GetOriginalFileName() const {
  // Both files lie beside the agent: a folder in the item names the place on
  // the server, not here (and a dot in that folder must not cut the name).
  std::string name = GetInfoFileName();
  const size_t dot = name.find('.');
  if (dot != std::string::npos) name.erase(dot);
  return name + ".original";
}
std::string TGFileInfo::GetAgentExeName() const { return SUB::GetItem(settings_, kSetAgentExe); }
std::string TGFileInfo::GetProductToken(bool unscramble) const {
  std::string stored = SUB::GetItem(settings_, kSetProductToken);
  return unscramble ? UnscrambleTokenOrRandom(stored) : stored;
}
bool TGFileInfo::IsHiddenByDefault() const { return SUB::GetItem(settings_, kSetHidden) == "1"; }
std::string TGFileInfo::GetReleaseKey() const { return SUB::GetItem(settings_, kSetReleaseKey); }
std::string TGFileInfo::GetWebSource() const { return SUB::GetItem(webSource_, kWebSource); }
std::string TGFileInfo::GetWebPackageName() const { return SUB::GetItem(webSource_, kWebPackageName); }
bool TGFileInfo::NoLocalPackage() const { return SUB::GetItem(webSource_, kWebNoLocal) == "1"; }
std::string TGFileInfo::GetWebToken(bool unscramble) const {
  std::string stored = SUB::GetItem(webSource_, kWebToken);
  return unscramble ? UnscrambleTokenOrRandom(stored) : stored;
}
std::string TGFileInfo::GetWebPackageSize() const { return SUB::GetItem(webSource_, kWebPackageSize); }

// Two malformed tokens must not meet by chance in the random stand-in they
// are given, so both have to unscramble.
bool TGFileInfo::SameWebToken(const TGFileInfo& other) const {
  auto mine = UnscrambleToken(SUB::GetItem(webSource_, kWebToken));
  auto theirs = UnscrambleToken(SUB::GetItem(other.webSource_, kWebToken));
  return mine && theirs && *mine == *theirs;
}

std::string LanguageSectionValue(const std::string& section, const std::string& key, bool& found) {
  found = false;
  if (section.size() <= 1) return {};
  const std::string text = SUB::ReplaceText(section, " =", "=");
  const char delimiter = text[0];
  std::string needle = std::string(1, delimiter) + key;
  if (needle.back() != '=') needle += '=';
  size_t pos = SUB::PosFrom(needle, text, 1, true);
  if (pos == 0) return {};
  found = true;
  size_t begin = pos - 1 + needle.size();
  size_t end = text.find(delimiter, begin);
  return text.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

std::string TGFileInfo::GetLangString(const std::string& key, const std::string& def) const {
  if (g_languageSection.empty()) g_languageSection = ChooseLangSection(language_, g_userLanguage);
  bool found = false;
  std::string value = LanguageSectionValue(g_languageSection, key, found);
  return found ? value : def;
}

int TGFileInfo::GetCharset() const {
  return int(SUB::StrToInt64Def(GetLangString(lang::kCharset), 0));
}
int TGFileInfo::GetFontSize() const {
  return int(SUB::StrToInt64Def(GetLangString(lang::kFontSize), 8));
}
std::string TGFileInfo::GetFontName() const { return GetLangString(lang::kFontName); }

void TGFileInfo::SetUserLanguageName(const std::string& name) { g_userLanguage = name; }
void TGFileInfo::ResetLanguageCache() { g_languageSection.clear(); }

}  // namespace kestro
