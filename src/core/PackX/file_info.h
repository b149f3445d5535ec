// TGFileInfo: the package descriptor. Opened on a setup file, a volume, a
// downloaded package or an agent file, it holds the trailer and the three
// header texts; every setting of the setup run and the agent is read here.
// It keeps no file open after construction.
#pragma once

#include <cstdint>
#include <string>

#include "core/LangRes0/lang_keys.h"
#include "core/PackX/package_layout.h"

namespace kestro {

class TGFileInfo {
 public:
  // A missing file gives a zero trailer, a file without a package the trailer
  // as read; in both cases the header texts stay empty.
  explicit TGFileInfo(const std::string& path);
  explicit TGFileInfo(ByteSource& src);

  // After construction the package start names the first file block.
  const PackageTrailer& Trailer() const { return trailer_; }
  bool HasPackage() const { return trailer_.HasMagic(); }
  const std::string& LanguageBlock() const { return language_; }
  const std::string& PackageSettings() const { return settings_; }
  const std::string& WebSourceList() const { return webSource_; }

  bool IsAgent() const { return trailer_.raw[kTrIsAgent] != 0; }
  bool CreatesAgent() const { return trailer_.raw[kTrCreatesAgent] != 0; }
  bool IsWebSetup() const { return trailer_.raw[kTrWebSetup] != 0; }
  bool AskBeforeDownload() const { return trailer_.raw[kTrAskBeforeDownload] != 0; }
  bool ShowTempDriveNotice() const { return trailer_.Flag(kFlagTempDriveNotice); }
  bool HasNextVolume() const { return trailer_.Flag(kFlagNextVolume); }
  bool IsCdSpanned() const { return trailer_.Flag(kFlagCdSpanned); }
  bool ShowBusyBar() const { return trailer_.Flag(kFlagBusyBar); }
  bool AgentLogEnabled() const { return trailer_.Flag(kFlagAgentLog); }

  // Bytes needed on a volume with the given cluster size (0 = unknown): entry
  // i of the space table serves clusters of at least 512 * 2^(i-1) bytes.
  double SpaceRequiredForCluster(uint64_t clusterSize) const;

  std::string GetUpdateUrl() const;
  std::string GetInfoFileName() const;
  std::string GetOriginalFileName() const;
  std::string GetAgentExeName() const;
  std::string GetProductToken(bool unscramble) const;
  bool IsHiddenByDefault() const;
  // The publisher's release key as stored ("P256:" + point), empty when the
  // package carries none.
  std::string GetReleaseKey() const;
  std::string GetWebSource() const;
  std::string GetWebPackageName() const;
  bool NoLocalPackage() const;
  std::string GetWebToken(bool unscramble) const;
  std::string GetWebPackageSize() const;
  // Both web tokens are well-formed and equal.
  bool SameWebToken(const TGFileInfo& other) const;

  // The key's value in the language section chosen once per process (see
  // SetUserLanguageName), or `def` when the key is missing.
  std::string GetLangString(const std::string& key, const std::string& def) const;
  // The same for one of the stub's own keys with its built-in default.
  std::string GetLangString(const LangKey& k) const { return GetLangString(k.key, k.def); }
  int GetCharset() const;
  int GetFontSize() const;
  std::string GetFontName() const;

  // The user's language name that selects a section of the language block.
  // Set it before the first GetLangString of the process.
  static void SetUserLanguageName(const std::string& name);
  // Forgets the chosen section (the next GetLangString chooses again).
  static void ResetLanguageCache();

 private:
  void Read(ByteSource& src);

  PackageTrailer trailer_;
  std::string language_, settings_, webSource_;
};

// The value of `key` in a section; `found` tells a missing key from an empty value.
std::string LanguageSectionValue(const std::string& section, const std::string& key, bool& found);

}  // namespace kestro
