#include "core/ShellDir/path_tokens.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace kestro;

namespace {

// A machine described by a table; Asked() tells which values were fetched.
struct Machine {
  std::map<std::string, std::string> values = {
      {"WinDir", "C:\\Windows"},   {"WinSysDir", "C:\\Windows\\system32"},
      {"WinSys16Dir", "C:\\Windows\\system"}, {"SrcDir", "D:\\Agent"},
      {"OriginDir", "E:\\Setup"},  {"TempDir", "C:\\Temp"},
      {"ProgramFilesDir", "C:\\Program Files"}, {"LoggedUserName", "ann"},
      {"UserName", "Ann Owner"},   {"UserAppDataDir", "C:\\Users\\ann\\AppData\\Roaming"},
      {"AllUsersDesktopDir", "C:\\Users\\Public\\Desktop"}};
  mutable std::set<std::string> asked;
  TokenEnvironment env;

  Machine() {
    env.applicationFolder = "C:\\Prog";
    env.commonFolder = "C:\\Common";
    env.system = [this](const std::string& name) {
      asked.insert(name);
      auto it = values.find(name);
      return it == values.end() ? std::string() : it->second;
    };
    env.now = CivilTime{2026, 3, 7, 9, 5, 4, 0};
    env.dateSeparator = '.';
    env.timeSeparator = ':';
    env.monthName = "March";
  }
  std::string Expand(const std::string& text, bool full = true) const {
    return ExpandTokens(text, "\\", false, true, full, env);
  }
};

}  // namespace

// ---------------------------------------------------------------- suffix rule

TEST(PathTokens, SuffixFollowsTheTokenUnlessItEndsABlankOrAQuotedPath) {
  struct Case { const char* text; const char* out; } cases[] = {
      {"<InstallDir>Bin", "C:\\Prog\\Bin"},
      {"<installdir>\\App.exe", "C:\\Prog\\App.exe"},  // suffix doubled, then cleaned
      {"<InstallDir>", "C:\\Prog"},
      {"<InstallDir> /x", "C:\\Prog /x"},
      {"\"<InstallDir>\"", "\"C:\\Prog\""},
      {"'<InstallDir>'", "'C:\\Prog'"},
      {"x<InstallDir>x", "xC:\\Prog\\x"},  // a letter is no quote
      {"<InstallDir><InstallDir>", "C:\\Prog\\C:\\Prog\\"},  // the first occurrence decides
  };
  Machine m;
  for (const Case& c : cases) EXPECT_EQ(m.Expand(c.text), c.out) << c.text;
  EXPECT_EQ(ReplaceFolderToken("a<T>", "<t>", "V", "/"), "aV");
  EXPECT_EQ(ReplaceFolderToken("none", "<T>", "V", "/"), "none");
}

TEST(PathTokens, FolderAndDriveTokensTakeTheirValues) {
  struct Case { const char* text; const char* out; } cases[] = {
      {"<WinSysDir>\\x.dll", "C:\\Windows\\system32\\x.dll"},
      {"<WinSys32Dir> <WinSys16Dir>", "C:\\Windows\\system32 C:\\Windows\\system"},
      {"<InstallDrive>x", "C:\\x"},
      {"<OriginDisk>\\y", "E:\\y"},
      {"<WinDisk>", "C:"},
      {"<SrcDir>a.ini", "D:\\Agent\\a.ini"},
      {"<AbsoluteDir>C:\\x", "C:\\x"},
      {"<UserAppDataDir>Vendor", "C:\\Users\\ann\\AppData\\Roaming\\Vendor"},
      {"<InstallCommonDir>\\s.dll", "C:\\Common\\s.dll"},
      {"<InstallAuxDir>z", "\\z"},  // unset folder: empty value, suffix kept
      {"<NoSuchToken>\\a", "<NoSuchToken>\\a"},
      {"<Windows Directory><InstallDir>", "C:\\Windows\\"},  // removed once the text changed
      {"<InstallDir><Windows Directory>", "C:\\Windows"},
  };
  Machine m;
  for (const Case& c : cases) EXPECT_EQ(m.Expand(c.text), c.out) << c.text;
}

TEST(PathTokens, NamesAndProviderValues) {
  Machine m;
  EXPECT_EQ(m.Expand("<LoggedUserName>/<UserName>/<CompanyName>"), "ann/Ann Owner/");
  EXPECT_EQ(m.Expand("[<ProjectName>]"), "[]");  // no provider: removed
  m.env.valueProvider = [](const std::string& name) { return "{" + name + "}"; };
  m.env.lastExitCode = -3;
  m.env.requiredFreeSpace = 2.6 * 1048576;
  EXPECT_EQ(m.Expand("<EnteredUserName> <ProjectName> <LastExecutableExitCode> <ReqFreeDiskSpaceMB>"),
            "{UserName} {ProjectName} -3 3");
  EXPECT_EQ(m.Expand("<UnInstallExePath>"), "{UnInstallExePath}");
  EXPECT_EQ(m.Expand("<UnInstallExePath>", false), "<UnInstallExePath>");  // not full
}

TEST(PathTokens, AsksTheSystemOnlyForTokensPresent) {
  Machine m;
  EXPECT_EQ(m.Expand("plain C:\\x\\\\y"), "plain C:\\x\\\\y");  // no "<": untouched
  EXPECT_TRUE(m.asked.empty());
  m.Expand("<TempDir>");
  EXPECT_EQ(m.asked, std::set<std::string>{"TempDir"});
}

TEST(PathTokens, UserTokenTableComesFirstAndIsNotRescanned) {
  Machine m;
  m.env.userTokens = "|<Mine>=<InstallDir>|<Empty>=|<Self> =<Self>|";
  EXPECT_EQ(m.Expand("<Mine>\\a"), "C:\\Prog\\a");
  EXPECT_EQ(m.Expand("[<Empty>]"), "[]");
  EXPECT_EQ(m.Expand("<self>"), "<Self>");
  EXPECT_EQ(ApplyUserTokens("<Self><Mine>", m.env.userTokens), "<Self><InstallDir>");
  EXPECT_EQ(ApplyUserTokens("<<Mine>>!", m.env.userTokens), "<InstallDir>!");
  EXPECT_EQ(ApplyUserTokens("a<b <Unknown> c>", m.env.userTokens), "a<b <Unknown> c>");
  EXPECT_EQ(ExpandTokens("<Mine>", "\\", false, false, true, m.env), "<Mine>");  // not asked
}

TEST(PathTokens, DateTokenInEveryFormat) {
  Machine m;
  struct Case { char code; const char* out; } cases[] = {
      {'#', "07.March.2026"}, {'0', "9562"}, {'1', "07-03-26"}, {'2', "03-07-26"},
      {'3', "26-03-07"},      {'4', "07-03-2026"}, {'5', "03-07-2026"}, {'6', "2026-03-07"},
      {'7', "2026-03-07 09:05:04"}};
  for (const Case& c : cases)
    EXPECT_EQ(m.Expand(std::string("log_<date=") + c.code + ">.txt"), std::string("log_") + c.out + ".txt")
        << c.code;
  EXPECT_EQ(m.Expand("<Date=9>"), "<Date=9>");
  EXPECT_EQ(m.Expand("<Date=6> <Date=6>"), "2026-03-07 <Date=6>");
  EXPECT_EQ(m.Expand("<Date=6"), "<Date=6");
  EXPECT_EQ(m.Expand("<Date="), "<Date=");
}

TEST(PathTokens, CleanPathCollapsesRunsButKeepsUncAndQuotedStarts) {
  struct Case { const char* in; const char* out; } cases[] = {
      {"C:\\a\\\\b", "C:\\a\\b"},
      {"C:\\\\\\a", "C:\\a"},
      {"\\\\server\\share\\dir", "\\\\server\\share\\dir"},
      {"\\\\\\server\\share", "\\\\server\\share"},
      {"\"\\\\server\\share\"", "\"\\\\server\\share\""},  // kept whole in quotes
      {"|\\\\srv\\a|", "|\\\\srv\\a|"},
      {"C:\\a\\\\", "C:\\a\\"},
      {"\\\\", "\\\\"},
      {"a", "a"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(CleanPath(c.in, nullptr), c.out) << c.in;
  // A backslash that is the second byte of a double-byte character stays.
  auto lead = [](unsigned char c) { return c == 0x95; };
  EXPECT_EQ(CleanPath("C:\\\x95\\\\x", lead), "C:\\\x95\\\\x");
  EXPECT_EQ(CleanPath("C:\\\x95\\\\x", nullptr), "C:\\\x95\\x");
}

// A product installed on a network share, written in quotes: the share's
// leading pair of backslashes survives the tidying.
TEST(PathTokens, QuotedUncInstallFolderStaysAUncPath) {
  Machine m;
  m.env.applicationFolder = "\\\\srv\\share\\Prog";
  EXPECT_EQ(m.Expand("\"<InstallDir>\""), "\"\\\\srv\\share\\Prog\"");
  EXPECT_EQ(m.Expand("<InstallDir>\\App.exe"), "\\\\srv\\share\\Prog\\App.exe");
}

TEST(PathTokens, RelativePathsBecomeAbsolute) {
  TokenLookup abs = [](const std::string& p) { return "ABS(" + p + ")"; };
  EXPECT_EQ(ExpandRelativePaths("C:\\a\\..\\b", abs), "ABS(C:\\a\\..\\b)");
  EXPECT_EQ(ExpandRelativePaths("C:\\a\\b", abs), "C:\\a\\b");
  EXPECT_EQ(ExpandRelativePaths("|..\\x|C:\\y|", abs), "|ABS(..\\x)|C:\\y|");
  EXPECT_EQ(ExpandRelativePaths(",a\\..,", abs), ",ABS(a\\..),");
  Machine m;
  m.env.absolutePath = abs;
  EXPECT_EQ(ExpandTokens("..\\up", "\\", true, true, true, m.env), "ABS(..\\up)");
}

TEST(PathTokens, ServiceDirPicksTheListedServiceTheTextNames) {
  Machine m;
  EXPECT_EQ(m.Expand("<ServiceDir>svc.exe"), "D:\\Agent\\svc.exe");
  m.env.serviceList = "|C:\\Svc\\a.exe|C:\\Other\\b.exe|";
  EXPECT_EQ(m.Expand("<ServiceDir>b.exe"), "C:\\Other\\b.exe");
  EXPECT_EQ(m.Expand("<ServiceDir>c.exe"), "D:\\Agent\\c.exe");
  EXPECT_EQ(ApplyServiceDir("<ServiceDir>\\a.exe", "\\", "D:\\X", "|C:\\Svc\\a.exe|"), "C:\\Svc\\a.exe");
}

TEST(PathTokens, RunTimeFoldersOnlyWhenAsked) {
  Machine m;
  std::vector<int> asked;
  m.env.runTimeDir = [&](int n) {
    asked.push_back(n);
    return "R" + std::to_string(n);
  };
  EXPECT_EQ(m.Expand("<RunTimeDir_2>x <RUNTIMEDIR_8>"), "R2\\x R8");
  EXPECT_EQ(asked, (std::vector<int>{2, 8}));
  EXPECT_EQ(m.Expand("<RunTimeDir_9>"), "<RunTimeDir_9>");
}
