#include "core/StubAU/info_writer.h"

#include <map>
#include <utility>
#include <vector>

#include "core/Utils/ksub.h"

namespace kestro {

namespace {

// ---- the keys of a ".INFO" file ---------------------------------------------------

enum class Source { kSettings, kFilled };

struct InfoKey {
  const char* section;
  const char* key;
  const char* def;
  Source source;
};

constexpr const char* kGeneral = "General";

const InfoKey kInfoKeys[] = {
    {kInfoNewSetup, "DownloadURL_UPDATE", "", Source::kSettings},
    {kInfoNewSetup, "NameOfUpdateFile", "", Source::kFilled},
    {kInfoNewSetup, "SizeOfUpdateFile", "0", Source::kFilled},
    {kInfoNewSetup, "RequestConfirmationBeforeDownload", "0", Source::kSettings},
    {kInfoNewSetup, "RequestConfirmationBeforeDownloadForce", "0", Source::kSettings},
    {kInfoNewSetup, "RequestConfirmationBeforeInstall", "0", Source::kSettings},
    {kInfoNewSetup, "RequestConfirmationBeforeInstallForce", "0", Source::kSettings},
    {kInfoNewSetup, "BackgroundUpdate", "0", Source::kSettings},
    {kInfoNewSetup, "ShutDownMethod", "", Source::kSettings},
    {kInfoNewSetup, "RestartProcess", "0", Source::kSettings},
    {kInfoNewSetup, "InformFinish", "0", Source::kSettings},
    {kInfoNewSetup, "RunningProcess", "", Source::kSettings},
    {kInfoNewSetup, "ProgramName", "", Source::kSettings},
    {kInfoNewSetup, "VersionNew", "0", Source::kFilled},
    {kInfoNewSetup, "Stamp", "0", Source::kFilled},
    {kInfoNewSetup, "ValidVersions", "", Source::kSettings},
    {kInfoNewSetup, "RemoveStartUpShortcut", "0", Source::kSettings},
    {kInfoNewSetup, "RemoveCheckForNewUpdateShortcut", "0", Source::kSettings},
    {kGeneral, "AutoInform", "0", Source::kSettings},
    {kInfoAutoInform, "DownloadURL_INFORM", "", Source::kSettings},
    {kInfoAutoInform, "NameOfInformFile", "", Source::kFilled},
    {kInfoAutoInform, "SizeOfInformFile", "0", Source::kFilled},
    {kInfoAutoInform, "AutoInformW", "360", Source::kSettings},
    {kInfoAutoInform, "AutoInformH", "360", Source::kSettings},
    {kInfoIntegrity, kInfoUpdateHash, "", Source::kFilled},
    {kInfoIntegrity, kInfoInformHash, "", Source::kFilled},
    {kInfoIntegrity, kInfoProduct, "", Source::kFilled},
    {kInfoIntegrity, kInfoExpires, "", Source::kFilled},
};

using KeyName = std::pair<std::string, std::string>;  // upper-case section and key

const InfoKey* FindKey(const std::string& section, const std::string& key) {
  for (const InfoKey& k : kInfoKeys)
    if (SUB::SameText(k.section, section) && SUB::SameText(k.key, key)) return &k;
  return nullptr;
}

bool ReadsAsWritten(const std::string& v) {
  if (v.find_first_of("\r\n") != std::string::npos) return false;
  if (!v.empty() && (v.front() == ' ' || v.front() == '\t' || v.back() == ' ' || v.back() == '\t')) return false;
  return !(v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front());
}

// The publisher's values by section and key; an error text on a bad line.
std::string ReadSettings(const std::string& text, std::map<KeyName, std::string>& values) {
  std::string section;
  int number = 0;
  for (const std::string& raw : SUB::Items("\n" + text + "\n")) {
    ++number;
    std::string line = raw;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string t = SUB::Trim(line);
    if (t.empty() || t[0] == ';' || t[0] == '#') continue;
    std::string where = "settings line " + std::to_string(number) + ": ";
    if (t.front() == '[' && t.back() == ']') {
      section = SUB::Trim(t.substr(1, t.size() - 2));
      continue;
    }
    size_t eq = t.find('=');
    if (eq == std::string::npos) return where + "expected [Section] or key=value";
    std::string key = SUB::Trim(t.substr(0, eq)), value = SUB::Trim(t.substr(eq + 1));
    const InfoKey* k = FindKey(section, key);
    if (!k) return where + "[" + section + "] " + key + " is not a key of the .INFO file";
    if (k->source == Source::kFilled) return where + key + " is filled in from the release's files";
    if (!ReadsAsWritten(value)) return where + "the value of " + key + " would not read back as written";
    KeyName name{SUB::Upper(k->section), SUB::Upper(k->key)};
    if (!values.emplace(name, value).second) return where + key + " is given twice";
  }
  return {};
}

std::string Filled(const InfoKey& k, const InfoRelease& r) {
  const std::string key = k.key;
  auto file = [&](const ReleaseFile& f, bool has, int field) -> std::string {
    if (!has) return k.def;
    if (field == 0) return f.name;
    if (field == 1) return std::to_string(f.size);
    return SUB::HexEncode(f.sha256);
  };
  if (key == "NameOfUpdateFile") return file(r.update, r.hasUpdate, 0);
  if (key == "SizeOfUpdateFile") return file(r.update, r.hasUpdate, 1);
  if (key == kInfoUpdateHash) return file(r.update, r.hasUpdate, 2);
  if (key == "NameOfInformFile") return file(r.inform, r.hasInform, 0);
  if (key == "SizeOfInformFile") return file(r.inform, r.hasInform, 1);
  if (key == kInfoInformHash) return file(r.inform, r.hasInform, 2);
  if (key == kInfoProduct) return SUB::HexEncode(r.productDigest);
  if (key == kInfoExpires) return r.expires;
  if (key == "VersionNew") return std::to_string(r.versionNew);
  return std::to_string(r.stamp);
}

}  // namespace

std::string WriteInfoText(const InfoRelease& release, std::string& error) {
  std::map<KeyName, std::string> values;
  error = ReadSettings(release.settingsText, values);
  if (!error.empty()) return {};
  auto value = [&](const InfoKey& k) {
    if (k.source == Source::kFilled) return Filled(k, release);
    auto v = values.find({SUB::Upper(k.section), SUB::Upper(k.key)});
    return v != values.end() ? v->second : std::string(k.def);
  };
  KeyName url{SUB::Upper(kInfoNewSetup), "DOWNLOADURL_UPDATE"};
  auto given = values.find({"GENERAL", "AUTOINFORM"});
  // The agent reads AutoInform as an integer: "01" announces too.
  const bool announces = given != values.end() && SUB::StrToInt64Def(given->second, 0) == 1;
  if (values[url].empty()) values[url] = release.defaultUpdateUrl;
  if (release.productDigest.size() != 32)
    error = "no product to bind the release to (the SHA-256 of its .INFO name and product token)";
  else if (!release.expires.empty() && !IsIsoDate(release.expires))
    error = "the expiry must be a date YYYY-MM-DD, not \"" + release.expires + "\"";
  if (!error.empty()) return {};
  if (!ReadsAsWritten(values[url])) error = "the download folder would not read back as written";
  else if (values[url].empty()) error = "no download folder: set DownloadURL_UPDATE in the settings";
  else if (announces ? !release.hasInform : !release.hasUpdate)
    error = announces ? "AutoInform=1 needs an INFORM file" : "no UPDATE file given";
  if (!error.empty()) return {};

  std::string text, section;
  for (const InfoKey& k : kInfoKeys) {
    if (section != k.section) {
      text += std::string(text.empty() ? "" : "\r\n") + "[" + k.section + "]\r\n";
      section = k.section;
    }
    text += std::string(k.key) + "=" + value(k) + "\r\n";
  }
  return text;
}

}  // namespace kestro
