// The update agent's two settings files, in the INI form of the system's
// profile functions:
//
//   <agent folder>\Product.original   written by the install engine: the
//       installed release, folders, shortcuts, message-box look, the agent's
//       texts and its own bookkeeping (last check, last question)
//   <agent folder>\Product.info       the copy of the file published with
//       each release: what it is, where its setup file lies, how to update
//
// Both names come from item 1 of the package settings ("Product.info" or a
// path ending in it): the ".INFO" copy keeps the item's file name, the
// ".ORIGINAL" file takes that name up to its first "." plus ".original".
// This is the only place that knows the sections and keys. Every accessor
// opens the file anew, so a value another program wrote is seen at once,
// and a missing file, section or key gives the default.
#pragma once

#include <cstdint>
#include <string>

#include "core/PackX/file_info.h"
#include "core/StubAU/override_flags.h"

namespace kestro {

struct SettingsFiles {
  std::string folder;    // with one trailing backslash
  std::string original;  // the ".ORIGINAL" file
  std::string info;      // the local copy of the ".INFO" file
  std::string infoName;  // its file name (also its name on the server)
};

SettingsFiles SettingsFilesOf(const TGFileInfo& package, const std::string& folder);
// Beside the running executable, named by its own package.
SettingsFiles OwnSettingsFiles();

// How the agent's message boxes look ([MsgBox]).
struct MsgBoxLook {
  std::string buttons, error, confirm, attention, fontName;
  int charset = 0;
  int fontSize = 8;
};

class OriginalSettings {
 public:
  explicit OriginalSettings(std::string path) : path_(std::move(path)) {}
  const std::string& Path() const { return path_; }

  // [OriginalSetup]; times are agent-clock values.
  int64_t ProbeSecondsInterval() const;
  int64_t ProbeSecondsLast() const;
  int64_t ReAskSecondsInterval() const;
  int64_t ReAskSecondsLast() const;
  int32_t VersionOriginal() const;
  int32_t Stamp() const;
  std::string ProgramName() const;

  // Each time key is written with its readable copy ("__" + key).
  void SetProbeSecondsInterval(int64_t seconds) const;
  void SetReAskSecondsInterval(int64_t seconds) const;
  void SetProbeSecondsLast(int64_t clock) const;
  void SetReAskSecondsLast(int64_t clock) const;
  void SetVersionOriginal(int32_t version) const;
  void SetStamp(int32_t stamp) const;

  // [Directories]
  std::string TargetDir() const;
  std::string SharedDir() const;
  std::string AuxiliaryDir() const;
  // [UnInstall]
  std::string StartUpLink() const;
  std::string CheckForNewUpdateLink() const;
  // [MsgBox]
  MsgBoxLook MsgBox() const;
  // [AutoUpdate]: the agent's texts ("s2" ... "s35").
  std::string AgentText(const std::string& key, const std::string& def) const;

 private:
  std::string path_;
};

class InfoSettings {
 public:
  // Overridable switches give the override when it is set (see OverrideFlags).
  explicit InfoSettings(std::string path, const OverrideFlags& overrides = OverrideFlags())
      : path_(std::move(path)), overrides_(overrides) {}
  const std::string& Path() const { return path_; }

  // [NewSetup]
  std::string DownloadUrlUpdate() const;
  std::string NameOfUpdateFile() const;
  int32_t SizeOfUpdateFile() const;
  bool RequestConfirmationBeforeDownload() const;
  bool RequestConfirmationBeforeDownloadForce() const;
  bool RequestConfirmationBeforeInstall() const;
  bool RequestConfirmationBeforeInstallForce() const;
  bool BackgroundUpdate() const;
  std::string ShutDownMethod() const;
  bool RestartProcess() const;
  bool InformFinish() const;
  std::string RunningProcess() const;
  std::string ProgramName() const;
  int32_t VersionNew() const;
  int32_t Stamp() const;
  std::string ValidVersions() const;
  bool RemoveStartUpShortcut() const;
  bool RemoveCheckForNewUpdateShortcut() const;
  // [General]: on when the number is 1 (so "01" is on here).
  bool AutoInform() const;
  // [AutoInform]
  std::string DownloadUrlInform() const;
  std::string NameOfInformFile() const;
  int32_t SizeOfInformFile() const;
  int32_t AutoInformW() const;
  int32_t AutoInformH() const;

 private:
  std::string Text(const char* section, const char* key) const;
  int32_t Int32(const char* section, const char* key, int32_t def) const;
  bool Switch(const char* key, int overridePosition) const;

  std::string path_;
  OverrideFlags overrides_;
};

}  // namespace kestro
