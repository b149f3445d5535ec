#include "core/ShellDir/path_tokens.h"

#include <cmath>

namespace kestro {

const char* const kSpecialFolderTokens[14] = {
    "UserDir",          "UserAppDataDir",        "UserLocalAppDataDir",
    "MyDocumentsDir",   "UserStartMenuDir",      "UserStartProgramMenuDir",
    "UserDesktopDir",   "DocumentsAndSettingsDir", "AllUsersDir",
    "AllUsersAppDataDir", "AllUsersDocumentsDir", "AllUsersStartMenuDir",
    "AllUsersStartProgramMenuDir", "AllUsersDesktopDir"};

// ---------------------------------------------------------------- helpers
namespace {

std::string Bracketed(const char* name) { return std::string("<") + name + ">"; }

bool Holds(const std::string& text, const std::string& token) {
  return SUB::PosFrom(token, text, 1, true) != 0;
}

// One expansion: the text being worked on and where its values come from.
class Expansion {
 public:
  Expansion(std::string text, const std::string& suffix, const TokenEnvironment& env)
      : text_(std::move(text)), suffix_(suffix), env_(env) {}

  std::string& Text() { return text_; }

  // Plain replacement, the value asked for only when the token is present.
  template <class Value>
  void Plain(const char* name, Value value) {
    std::string token;
    if (Wants(name, token)) PutPlain(token, value());
  }
  template <class Value>
  void Folder(const char* name, Value value) {
    std::string token;
    if (Wants(name, token)) PutFolder(token, value());
  }
  std::string System(const char* name) const {
    return env_.system ? env_.system(name) : std::string();
  }
  std::string Provided(const char* name) const {
    return env_.valueProvider ? env_.valueProvider(name) : std::string();
  }
  void SystemPlain(const char* name) { Plain(name, [&] { return System(name); }); }
  void SystemFolder(const char* name) { Folder(name, [&] { return System(name); }); }
  void Removed(const char* name) { Plain(name, [] { return std::string(); }); }

  const TokenEnvironment& Env() const { return env_; }
  const std::string& Suffix() const { return suffix_; }

 private:
  bool Wants(const char* name, std::string& token) const;
  void PutPlain(const std::string& token, const std::string& value);
  void PutFolder(const std::string& token, const std::string& value);

  std::string text_;
  const std::string& suffix_;
  const TokenEnvironment& env_;
};

// Out of line: every token's template above shares them.
bool Expansion::Wants(const char* name, std::string& token) const {
  token = Bracketed(name);
  return Holds(text_, token);
}
void Expansion::PutPlain(const std::string& token, const std::string& value) {
  text_ = SUB::ReplaceText(text_, token, value, true);
}
void Expansion::PutFolder(const std::string& token, const std::string& value) {
  text_ = ReplaceFolderToken(text_, token, value, suffix_);
}

void UserAndProductTokens(Expansion& x) {
  for (const char* name : {"LoggedUserName", "UserName", "CompanyName", "ComputerName",
                           "CurrentDomainName"})
    x.SystemPlain(name);
  x.Plain("LastExecutableExitCode", [&] { return std::to_string(x.Env().lastExitCode); });
  x.Plain("ReqFreeDiskSpaceMB", [&] {
    const double mb = x.Env().requiredFreeSpace / 1048576.0;
    return std::isfinite(mb) ? std::to_string(std::llround(mb)) : std::string("0");
  });
  static const char* const kProvided[][2] = {
      {"EnteredUserName", "UserName"},
      {"EnteredCompanyName", "CompanyName"},
      {"EnteredStartProgramMenu", "EnteredStartProgramMenu"},
      {"VendorCompanyName", "VendorCompanyName"},
      {"ProjectName", "ProjectName"},
      {"ProgramDescriptiveName", "ProgramDescriptiveName"},
      {"ProgramVersion", "ProgramVersion"},
      {"SelectedLanguage", "SelectedLanguage"}};
  for (const auto& row : kProvided) x.Plain(row[0], [&] { return x.Provided(row[1]); });
}

void RunTimeTokens(Expansion& x) {
  x.Plain("UnInstallExePath", [&] { return x.Provided("UnInstallExePath"); });
  if (!Holds(x.Text(), "<RunTimeDir_")) return;
  for (int n = 1; n <= 8; ++n)
    x.Folder(("RunTimeDir_" + std::to_string(n)).c_str(), [&] {
      return x.Env().runTimeDir ? x.Env().runTimeDir(n) : std::string();
    });
}

// The install-folder tokens, once the text has changed, give way to the
// folder tokens written before them ("<Windows Directory><InstallDir>").
void InstallFolderTokens(Expansion& x, const std::string& snapshot) {
  const TokenEnvironment& env = x.Env();
  x.Folder("Application Folder", [&] { return env.applicationFolder; });
  x.Folder("Common Folder", [&] { return env.commonFolder; });
  x.Folder("Auxiliary Folder", [&] { return env.auxiliaryFolder; });
  x.Folder("Windows Directory", [&] { return x.System("WinDir"); });
  x.Folder("System Directory", [&] { return x.System("WinSysDir"); });
  x.Folder("System16 Directory", [&] { return x.System("WinSys16Dir"); });
  for (const char* name : {"InstallDir", "InstallCommonDir", "InstallAuxDir"})
    if (x.Text() != snapshot) x.Removed(name);
  x.Removed("AbsoluteDir");
  x.Folder("InstallDir", [&] { return env.applicationFolder; });
  x.Folder("InstallCommonDir", [&] { return env.commonFolder; });
  x.Folder("InstallAuxDir", [&] { return env.auxiliaryFolder; });
}

// names: the install, Windows, system and origin folder's token.
void DriveTokens(Expansion& x, const char* const (&names)[4], size_t length) {
  x.Plain(names[0], [&] { return x.Env().applicationFolder.substr(0, length); });
  static const char* const kFolders[] = {"WinDir", "WinSysDir", "OriginDir"};
  for (int i = 0; i < 3; ++i)
    x.Plain(names[i + 1], [&] { return x.System(kFolders[i]).substr(0, length); });
}

void SystemFolderTokens(Expansion& x) {
  x.SystemFolder("WinDir");
  x.SystemFolder("WinSysDir");
  x.Folder("WinSys32Dir", [&] { return x.System("WinSysDir"); });
  x.SystemFolder("WinSys16Dir");
  static const char* const kDrives[] = {"InstallDrive", "WinDrive", "WinSysDrive", "OriginDrive"};
  static const char* const kDisks[] = {"InstallDisk", "WinDisk", "WinSysDisk", "OriginDisk"};
  DriveTokens(x, kDrives, 3);
  DriveTokens(x, kDisks, 2);
  for (const char* name : {"StartMenuDir", "ProgramFilesDir", "CommonFilesDir", "FontDir",
                           "SrcDir", "OriginDir", "TempDir"})
    x.SystemFolder(name);
  if (Holds(x.Text(), "<ServiceDir>"))
    x.Text() = ApplyServiceDir(x.Text(), x.Suffix(), x.System("SrcDir"), x.Env().serviceList);
  for (const char* name : kSpecialFolderTokens) x.SystemFolder(name);
}

}  // namespace

// ---------------------------------------------------------------- expansion

std::string ExpandTokens(const std::string& text, const std::string& suffix, bool expandRelative,
                         bool useUserTokens, bool full, const TokenEnvironment& env) {
  std::string result = text;
  if (text.find('<') != std::string::npos) {
    Expansion x(text, suffix, env);
    if (useUserTokens) x.Text() = ApplyUserTokens(x.Text(), env.userTokens);
    if (Holds(x.Text(), "<Date=")) x.Text() = ApplyDateToken(x.Text(), env);
    UserAndProductTokens(x);
    const std::string snapshot = x.Text();
    if (full) {
      RunTimeTokens(x);
      InstallFolderTokens(x, snapshot);
      SystemFolderTokens(x);
      if (x.Text() != snapshot) x.Text() = CleanPath(x.Text(), env.isLead);
    }
    result = x.Text();
  }
  return expandRelative ? ExpandRelativePaths(result, env.absolutePath) : result;
}

}  // namespace kestro
