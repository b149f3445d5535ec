// Path tokens: "<InstallDir>\Bin\App.exe" -> "C:\Prog\Bin\App.exe". The text
// rules live here; the values come from a TokenEnvironment the Windows side
// fills (win/ShellDir), so every rule is checked without a machine.
//
// Token names match ignoring ASCII case, anywhere in the text, every
// occurrence; a name in angle brackets that is no token stays as it is.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/Files/file_names.h"
#include "core/Utils/ksub.h"

namespace kestro {

using TokenLookup = std::function<std::string(const std::string& name)>;

struct TokenEnvironment {
  std::string applicationFolder, commonFolder, auxiliaryFolder;
  // "|<Key>=value|...": replaced first, when the caller asks for it.
  std::string userTokens;
  // Answers for "<ProjectName>" and the other entered or product values;
  // without one those tokens are removed.
  TokenLookup valueProvider;
  int32_t lastExitCode = 0;
  double requiredFreeSpace = 0;  // bytes
  // "|C:\Svc\A.exe|...": executables whose folder "<ServiceDir>" may name.
  std::string serviceList;

  // Values of the system, asked only for tokens the text holds, by the
  // token's name without brackets: "LoggedUserName", "UserName" (the
  // registered owner), "CompanyName", "ComputerName", "CurrentDomainName",
  // "WinDir", "WinSysDir", "WinSys16Dir", "SrcDir", "OriginDir", "TempDir",
  // "StartMenuDir", "ProgramFilesDir", "CommonFilesDir", "FontDir" and the
  // special folders ("UserDir" ... "AllUsersDesktopDir").
  TokenLookup system;
  std::function<std::string(int)> runTimeDir;    // folders 1..8
  TokenLookup absolutePath;                      // relative -> absolute
  LeadByteTest isLead = nullptr;

  // For "<Date=c>": now, the locale's separators and month name of now.
  CivilTime now;
  char dateSeparator = '/';
  char timeSeparator = ':';
  std::string monthName;
};

// The special-folder tokens in their order of replacement.
extern const char* const kSpecialFolderTokens[14];

std::string ExpandTokens(const std::string& text, const std::string& suffix, bool expandRelative,
                         bool useUserTokens, bool full, const TokenEnvironment& env);

// Replaces every occurrence of a folder token by value + suffix; the suffix
// is left off where the first occurrence ends the text or is followed by a
// blank, or where the text is the token in quotes ("<InstallDir>").
std::string ReplaceFolderToken(const std::string& text, const std::string& token,
                               const std::string& value, const std::string& suffix);
// Spans "<...>" found in the table ("|<Key>=value|") are replaced by their
// value; values are not scanned again.
std::string ApplyUserTokens(const std::string& text, const std::string& table);
// The first "<Date=c>" becomes the date in format c; unknown codes stay.
std::string ApplyDateToken(const std::string& text, const TokenEnvironment& env);
std::string DateTokenText(char code, const TokenEnvironment& env);
// Runs of backslashes after the start of a path become one; a UNC start
// stays, three leading backslashes become two.
std::string CleanPath(const std::string& text, LeadByteTest isLead);
// Texts (or items of a list starting with "," or "|") holding "..\" or "\.."
// are made absolute.
std::string ExpandRelativePaths(const std::string& text, const TokenLookup& absolutePath);
// "<ServiceDir>": the running executable's folder, unless one of the listed
// services has its folder named by the text.
std::string ApplyServiceDir(const std::string& text, const std::string& suffix,
                            const std::string& exeDir, const std::string& serviceList);

}  // namespace kestro
