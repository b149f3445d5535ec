#include "win/StubUtil/update_settings.h"

#include "core/StubAU/agent_clock.h"
#include "core/StubAU/settings_values.h"
#include "win/Files/files.h"
#include "win/StubGlob/stubglob.h"
#include "win/Utils/ini.h"

namespace kestro {

// ---- sections and keys -----------------------------------------------------
namespace {

const char kOriginalSetup[] = "OriginalSetup";
const char kDirectories[] = "Directories";
const char kUnInstall[] = "UnInstall";
const char kMsgBoxSection[] = "MsgBox";
const char kAutoUpdate[] = "AutoUpdate";
const char kNewSetup[] = "NewSetup";
const char kGeneral[] = "General";
const char kAutoInformSection[] = "AutoInform";

const char kReadablePrefix[] = "__";
const char kDefaultButtons[] = "|&OK|&Cancel|&Yes|&No|&Abort|&Retry|&Ignore|";

int64_t ReadInt(const std::string& file, const char* section, const char* key, int64_t def) {
  return ReadIniInteger(file, section, key, def);
}

void WriteTime(const std::string& file, const char* key, int64_t clock) {
  WriteIniInteger(file, kOriginalSetup, key, clock);
  WriteIniString(file, kOriginalSetup, std::string(kReadablePrefix) + key, ReadableAgentTime(clock));
}

}  // namespace

// ---- paths -------------------------------------------------------------------

SettingsFiles SettingsFilesOf(const TGFileInfo& package, const std::string& folder) {
  SettingsFiles f;
  f.folder = SetTrailingBackslash(folder, true);
  f.infoName = package.GetInfoFileName();
  f.info = f.folder + f.infoName;
  f.original = f.folder + package.GetOriginalFileName();
  return f;
}

SettingsFiles OwnSettingsFiles() { return SettingsFilesOf(OwnPackage(), ExeDir(true)); }

// ---- the ".ORIGINAL" file ----------------------------------------------------

int64_t OriginalSettings::ProbeSecondsInterval() const {
  return ReadInt(path_, kOriginalSetup, "ProbeSecondsInterval", 0);
}
int64_t OriginalSettings::ProbeSecondsLast() const {
  return ReadInt(path_, kOriginalSetup, "ProbeSecondsLast", 0);
}
int64_t OriginalSettings::ReAskSecondsInterval() const {
  return ReadInt(path_, kOriginalSetup, "ReAskSecondsInterval", 0);
}
int64_t OriginalSettings::ReAskSecondsLast() const {
  return ReadInt(path_, kOriginalSetup, "ReAskSecondsLast", 0);
}
int32_t OriginalSettings::VersionOriginal() const {
  return Low32(ReadInt(path_, kOriginalSetup, "VersionOriginal", 0));
}
int32_t OriginalSettings::Stamp() const { return Low32(ReadInt(path_, kOriginalSetup, "Stamp", 0)); }
std::string OriginalSettings::ProgramName() const {
  return ReadIniString(path_, kOriginalSetup, "ProgramName", "");
}

void OriginalSettings::SetProbeSecondsInterval(int64_t seconds) const {
  WriteIniInteger(path_, kOriginalSetup, "ProbeSecondsInterval", seconds);
}
void OriginalSettings::SetReAskSecondsInterval(int64_t seconds) const {
  WriteIniInteger(path_, kOriginalSetup, "ReAskSecondsInterval", seconds);
}
void OriginalSettings::SetProbeSecondsLast(int64_t clock) const {
  WriteTime(path_, "ProbeSecondsLast", clock);
}
void OriginalSettings::SetReAskSecondsLast(int64_t clock) const {
  WriteTime(path_, "ReAskSecondsLast", clock);
}
void OriginalSettings::SetVersionOriginal(int32_t version) const {
  WriteIniInteger(path_, kOriginalSetup, "VersionOriginal", version);
}
void OriginalSettings::SetStamp(int32_t stamp) const {
  WriteIniInteger(path_, kOriginalSetup, "Stamp", stamp);
}

std::string OriginalSettings::TargetDir() const {
  return ReadIniString(path_, kDirectories, "TargetDir", "");
}
std::string OriginalSettings::SharedDir() const {
  return ReadIniString(path_, kDirectories, "SharedDir", "");
}
std::string OriginalSettings::AuxiliaryDir() const {
  return ReadIniString(path_, kDirectories, "AuxiliaryDir", "");
}
std::string OriginalSettings::StartUpLink() const {
  return ReadIniString(path_, kUnInstall, "StartUpLink", "");
}
std::string OriginalSettings::CheckForNewUpdateLink() const {
  return ReadIniString(path_, kUnInstall, "CheckforNewUpdateLink", "");
}

MsgBoxLook OriginalSettings::MsgBox() const {
  MsgBoxLook m;
  m.buttons = ReadIniString(path_, kMsgBoxSection, "BtnText", kDefaultButtons);
  m.error = ReadIniString(path_, kMsgBoxSection, "Error", "Error");
  m.confirm = ReadIniString(path_, kMsgBoxSection, "Confirm", "Confirm");
  m.attention = ReadIniString(path_, kMsgBoxSection, "Attention", "Attention");
  m.charset = static_cast<int>(Low32(ReadInt(path_, kMsgBoxSection, "CharSet", 0)));
  m.fontName = ReadIniString(path_, kMsgBoxSection, "FontName", "Tahoma");
  m.fontSize = static_cast<int>(Low32(ReadInt(path_, kMsgBoxSection, "FontSize", 8)));
  return m;
}

std::string OriginalSettings::AgentText(const std::string& key, const std::string& def) const {
  return ReadIniString(path_, kAutoUpdate, key, def);
}

// ---- the ".INFO" file --------------------------------------------------------

std::string InfoSettings::Text(const char* section, const char* key) const {
  return ReadIniString(path_, section, key, "");
}
int32_t InfoSettings::Int32(const char* section, const char* key, int32_t def) const {
  return Low32(ReadInt(path_, section, key, def));
}
bool InfoSettings::Switch(const char* key, int overridePosition) const {
  const bool keyOn = SwitchOn(ReadIniString(path_, kNewSetup, key, "0"));
  return overridePosition ? overrides_.Apply(overridePosition, keyOn) : keyOn;
}

std::string InfoSettings::DownloadUrlUpdate() const { return Text(kNewSetup, "DownloadURL_UPDATE"); }
std::string InfoSettings::NameOfUpdateFile() const { return Text(kNewSetup, "NameOfUpdateFile"); }
int32_t InfoSettings::SizeOfUpdateFile() const { return Int32(kNewSetup, "SizeOfUpdateFile", 0); }
bool InfoSettings::RequestConfirmationBeforeDownload() const {
  return Switch("RequestConfirmationBeforeDownload", kOvConfirmDownload);
}
bool InfoSettings::RequestConfirmationBeforeDownloadForce() const {
  return Switch("RequestConfirmationBeforeDownloadForce", kOvConfirmDownloadForce);
}
bool InfoSettings::RequestConfirmationBeforeInstall() const {
  return Switch("RequestConfirmationBeforeInstall", kOvConfirmInstall);
}
bool InfoSettings::RequestConfirmationBeforeInstallForce() const {
  return Switch("RequestConfirmationBeforeInstallForce", kOvConfirmInstallForce);
}
bool InfoSettings::BackgroundUpdate() const { return Switch("BackgroundUpdate", kOvBackgroundUpdate); }
std::string InfoSettings::ShutDownMethod() const { return Text(kNewSetup, "ShutDownMethod"); }
bool InfoSettings::RestartProcess() const { return Switch("RestartProcess", kOvRestartProcess); }
bool InfoSettings::InformFinish() const { return Switch("InformFinish", kOvInformFinish); }
std::string InfoSettings::RunningProcess() const { return Text(kNewSetup, "RunningProcess"); }
std::string InfoSettings::ProgramName() const { return Text(kNewSetup, "ProgramName"); }
int32_t InfoSettings::VersionNew() const { return Int32(kNewSetup, "VersionNew", 0); }
int32_t InfoSettings::Stamp() const { return Int32(kNewSetup, "Stamp", 0); }
std::string InfoSettings::ValidVersions() const { return Text(kNewSetup, "ValidVersions"); }
bool InfoSettings::RemoveStartUpShortcut() const { return Switch("RemoveStartUpShortcut", 0); }
bool InfoSettings::RemoveCheckForNewUpdateShortcut() const {
  return Switch("RemoveCheckForNewUpdateShortcut", 0);
}

bool InfoSettings::AutoInform() const { return ReadInt(path_, kGeneral, "AutoInform", 0) == 1; }
std::string InfoSettings::DownloadUrlInform() const {
  return Text(kAutoInformSection, "DownloadURL_INFORM");
}
std::string InfoSettings::NameOfInformFile() const {
  return Text(kAutoInformSection, "NameOfInformFile");
}
int32_t InfoSettings::SizeOfInformFile() const {
  return Int32(kAutoInformSection, "SizeOfInformFile", 0);
}
int32_t InfoSettings::AutoInformW() const { return Int32(kAutoInformSection, "AutoInformW", 360); }
int32_t InfoSettings::AutoInformH() const { return Int32(kAutoInformSection, "AutoInformH", 360); }

}  // namespace kestro
