#include "core/RunTimeDir/runtime_dir_rules.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kestro;

namespace {

// Records which lookups a descriptor drove, and answers from a small table.
struct Recorder {
  std::vector<std::string> calls;
  std::string appPath, regPath, fileOnFixed, fileOnNetwork, folderOnFixed;
  std::string message;
  bool missing = false, ended = false;

  RunTimeDirLookups Lookups() {
    RunTimeDirLookups l;
    l.appPathDir = [this](const std::string& n, int v) {
      calls.push_back("app " + n + " " + std::to_string(v));
      return appPath;
    };
    l.regPathDir = [this](const std::string& p, int v) {
      calls.push_back("reg " + p + " " + std::to_string(v));
      return regPath;
    };
    l.findFile = [this](const std::string& n, int type, bool hook) {
      calls.push_back("file " + n + " " + std::to_string(type) + (hook ? " hook" : ""));
      return type == kDriveFixed ? fileOnFixed : fileOnNetwork;
    };
    l.findFolder = [this](const std::string& n, int type, bool hook) {
      calls.push_back("folder " + n + " " + std::to_string(type) + (hook ? " hook" : ""));
      return type == kDriveFixed ? folderOnFixed : std::string();
    };
    l.notFoundMessage = [this](const std::string& name) { message = name; };
    l.setMissingFlag = [this] { missing = true; };
    l.endSearchHook = [this] { ended = true; };
    return l;
  }
};

const char* const kAll =
    "|1|App.exe|1|HKLM\\Software\\Vendor\\Path|1|lib.dll|1|1|1|Data|1|0|1|C:\\Default|||1|1|1|0|3|2|";

}  // namespace

TEST(RunTimeDir, EmptyDescriptorTriesNothing) {
  Recorder r;
  EXPECT_EQ(ResolveRunTimeDir("", r.Lookups()), "");
  EXPECT_TRUE(r.calls.empty());
  EXPECT_EQ(r.message, "");
  EXPECT_FALSE(r.missing);
  EXPECT_TRUE(r.ended);
}

TEST(RunTimeDir, TriesTheMethodsInOrderUntilOneFinds) {
  Recorder r;
  r.fileOnNetwork = "\\\\srv\\share\\bin\\lib.dll";
  EXPECT_EQ(ResolveRunTimeDir(kAll, r.Lookups()), "\\\\srv\\share\\bin");
  const std::vector<std::string> order = {"app App.exe 3", "reg HKLM\\Software\\Vendor\\Path 2",
                                          "file lib.dll 3 hook", "file lib.dll 4 hook"};
  EXPECT_EQ(r.calls, order);
  Recorder first;
  first.appPath = "C:\\Prog\\";
  EXPECT_EQ(ResolveRunTimeDir(kAll, first.Lookups()), "C:\\Prog");
  EXPECT_EQ(first.calls.size(), 1u);
  Recorder folder;
  folder.folderOnFixed = "D:\\Tools\\Data";
  EXPECT_EQ(ResolveRunTimeDir(kAll, folder.Lookups()), "D:\\Tools\\Data");
  EXPECT_EQ(folder.calls.back(), "folder Data 3");  // item 11 is "0": no network search
}

TEST(RunTimeDir, FallsBackToTheDefaultThenReportsWhatWasMissing) {
  Recorder r;
  EXPECT_EQ(ResolveRunTimeDir(kAll, r.Lookups()), "C:\\Default");
  EXPECT_EQ(r.message, "");
  const std::string noDefault = "|0||0||1|lib.dll|1|0|0||||0||||1|1|";
  Recorder m;
  EXPECT_EQ(ResolveRunTimeDir(noDefault, m.Lookups()), "");
  EXPECT_EQ(m.message, "lib.dll");  // the display name
  EXPECT_TRUE(m.missing);
}

TEST(RunTimeDir, FlagsMustReadExactlyOne) {
  for (const char* flag : {" 1", "1 ", "01", "true", "2"}) {
    Recorder r;
    r.appPath = "C:\\X";
    EXPECT_EQ(ResolveRunTimeDir(std::string("|") + flag + "|App.exe|", r.Lookups()), "") << flag;
    EXPECT_TRUE(r.calls.empty()) << flag;
  }
}

TEST(RunTimeDir, RegistryViewsAndNameRules) {
  struct Case { int view; bool first64, thenOther; } cases[] = {
      {0, false, false}, {1, false, false}, {2, true, false}, {3, false, true}, {7, false, true},
      {-1, false, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(RegistryViewOrder(c.view).first64, c.first64) << c.view;
    EXPECT_EQ(RegistryViewOrder(c.view).thenOther, c.thenOther) << c.view;
  }
  EXPECT_TRUE(FolderNameMatches("C:\\A\\Data", "data"));
  EXPECT_FALSE(FolderNameMatches("C:\\A\\MyData", "Data"));
  EXPECT_FALSE(FolderNameMatches("C:\\A", ""));
  EXPECT_TRUE(IsAbsoluteDrivePath("D:\\Tools"));
  EXPECT_FALSE(IsAbsoluteDrivePath("Tools\\D:\\"));
  EXPECT_FALSE(IsAbsoluteDrivePath("D:"));
}
