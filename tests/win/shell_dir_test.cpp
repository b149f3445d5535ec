// Path tokens and special folders on a real system, compared with the
// system's own answers.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "../support/setup_road.h"
#include "core/Utils/ksub.h"
#include "win/Files/files.h"
#include "win/ShellDir/expand_tokens.h"
#include "win/ShellDir/shell_folders.h"
#include "win/Utils/registry.h"

namespace {

using kestro::SpecialFolder;

std::string FolderPath(int id) {
  char buf[MAX_PATH] = {};
  return SHGetFolderPathA(nullptr, id, nullptr, 0, buf) == S_OK ? std::string(buf) : std::string();
}

std::string Parent(const std::string& folder) { return folder.substr(0, folder.rfind('\\')); }

}  // namespace

TEST(SpecialFolders, MatchTheShellsAnswers) {
  struct Case { const char* token; std::string expected; } cases[] = {
      {"UserDir", Parent(FolderPath(CSIDL_PERSONAL))},
      {"UserAppDataDir", FolderPath(CSIDL_APPDATA)},
      {"UserLocalAppDataDir", FolderPath(CSIDL_LOCAL_APPDATA)},
      {"MyDocumentsDir", FolderPath(CSIDL_PERSONAL)},
      {"UserStartMenuDir", FolderPath(CSIDL_STARTMENU)},
      {"UserStartProgramMenuDir", FolderPath(CSIDL_PROGRAMS)},
      {"UserDesktopDir", FolderPath(CSIDL_DESKTOPDIRECTORY)},
      {"DocumentsAndSettingsDir", Parent(Parent(FolderPath(CSIDL_PERSONAL)))},
      {"AllUsersDir", Parent(FolderPath(CSIDL_COMMON_APPDATA))},
      {"AllUsersAppDataDir", FolderPath(CSIDL_COMMON_APPDATA)},
      {"AllUsersDocumentsDir", FolderPath(CSIDL_COMMON_DOCUMENTS)},
      {"AllUsersStartMenuDir", FolderPath(CSIDL_COMMON_STARTMENU)},
      {"AllUsersStartProgramMenuDir", FolderPath(CSIDL_COMMON_PROGRAMS)},
      {"AllUsersDesktopDir", FolderPath(CSIDL_COMMON_DESKTOPDIRECTORY)},
  };
  for (const Case& c : cases) {
    ASSERT_FALSE(c.expected.empty()) << c.token;
    EXPECT_TRUE(kestro::SUB::EqualIgnoreCase(SpecialFolder(c.token), c.expected)) << c.token << " "
                                                                                  << SpecialFolder(c.token);
    EXPECT_EQ(SpecialFolder(c.token, true), SpecialFolder(c.token) + "\\") << c.token;
  }
  EXPECT_EQ(SpecialFolder("NoSuchFolder"), "");
}

TEST(PathTokensOnThisSystem, ExpandToTheSystemsFolders) {
  kestro::SetInstallFolders("C:\\Prog", "C:\\Common", "");
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  const std::string programFiles = kestro::RegReadString(
      "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", "");
  struct Case { const char* text; std::string out; } cases[] = {
      {"<WinSysDir>\\kernel32.dll", kestro::SystemDir(true) + "kernel32.dll"},
      {"<installdir>\\App.exe", "C:\\Prog\\App.exe"},
      {"\"<InstallDir>\"", "\"C:\\Prog\""},
      {"<TempDir>x.tmp", std::string(temp) + "x.tmp"},
      {"<SrcDir>", kestro::ExeDir(false)},
      {"<ProgramFilesDir>Vendor", programFiles + "\\Vendor"},
      {"<UserAppDataDir>Vendor\\App", FolderPath(CSIDL_APPDATA) + "\\Vendor\\App"},
      {"<ServiceDir>svc.exe", kestro::ExeDir(true) + "svc.exe"},
      {"<WinDrive>", kestro::WindowsDir().substr(0, 3)},
      {"<ProjectName>", ""},
  };
  for (const Case& c : cases)
    EXPECT_TRUE(kestro::SUB::EqualIgnoreCase(kestro::ExpandTokens(c.text), c.out))
        << c.text << " -> " << kestro::ExpandTokens(c.text);
  EXPECT_TRUE(kestro::FileExists(kestro::ExpandTokens("<WinSysDir>\\kernel32.dll")));
  if (const char* computer = getenv("COMPUTERNAME")) {
    EXPECT_TRUE(kestro::SUB::EqualIgnoreCase(kestro::ExpandTokens("<ComputerName>"), computer));
  }
  char full[MAX_PATH] = {};
  GetFullPathNameA("..\\x", sizeof full, full, nullptr);
  EXPECT_EQ(kestro::ExpandTokens("..\\x"), full);
  SYSTEMTIME now;
  GetLocalTime(&now);
  char date[16];
  snprintf(date, sizeof date, "%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay);
  EXPECT_EQ(kestro::ExpandTokens("<Date=6>"), date);
  kestro::SetInstallFolders("", "", "");
}
