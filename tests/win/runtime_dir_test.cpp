// Run-time folders from the registry and from searches of real folders.
// No test searches all drives for a name that is missing: drive Z: maps the
// host's whole file system.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "../support/setup_road.h"
#include "win/Files/files.h"
#include "win/RunTimeDir/runtime_dir.h"
#include "win/ShellDir/expand_tokens.h"

namespace {

constexpr const char* kAppPathKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\kestro-rt-test.exe";
constexpr const char* kValueKey = "Software\\Kestro-RunTimeDir-Test";

void SetValue(HKEY root, const char* key, const char* name, const std::string& value) {
  HKEY k = nullptr;
  ASSERT_EQ(RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr), ERROR_SUCCESS);
  RegSetValueExA(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), DWORD(value.size() + 1));
  RegCloseKey(k);
}

// The registry keys of the test, removed again afterwards.
class RegistryFixture : public ::testing::Test {
 protected:
  void TearDown() override {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kAppPathKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, kValueKey);
  }
};

using RunTimeDirRegistry = RegistryFixture;

}  // namespace

TEST_F(RunTimeDirRegistry, AppPathsAndRegistryValuesGiveFolders) {
  SetValue(HKEY_LOCAL_MACHINE, kAppPathKey, nullptr, "\"C:\\Tools\\rt\\kestro-rt-test.exe\"");
  EXPECT_EQ(kestro::AppPathDir("kestro-rt-test.exe", 0), "C:\\Tools\\rt");
  EXPECT_EQ(kestro::AppPathDir("kestro-rt-test.exe", 3), "C:\\Tools\\rt");
  EXPECT_EQ(kestro::AppPathDir("kestro-missing.exe", 0), "");

  const std::string dir = ktest::ScratchDir();
  const std::string file = dir + "\\lib.dll";
  ktest::WriteFileText(file, "x");
  SetValue(HKEY_CURRENT_USER, kValueKey, "LibPath", file);
  const std::string path = std::string("HKEY_CURRENT_USER\\") + kValueKey;
  EXPECT_EQ(kestro::RegPathDir(path + "\\LibPath", 0), dir);  // a file names its folder
  SetValue(HKEY_CURRENT_USER, kValueKey, nullptr, "D:\\Not\\There");
  EXPECT_EQ(kestro::RegPathDir(path, 0), "D:\\Not\\There");  // the value as read
}

TEST_F(RunTimeDirRegistry, DescriptorsResolveOnceAndReportWhatIsMissing) {
  SetValue(HKEY_LOCAL_MACHINE, kAppPathKey, nullptr, "C:\\Tools\\rt\\kestro-rt-test.exe");
  kestro::SetRunTimeDirDescriptor(3, "|1|kestro-rt-test.exe|");
  EXPECT_EQ(kestro::ExpandTokens("<RunTimeDir_3>bin\\x.dll"), "C:\\Tools\\rt\\bin\\x.dll");
  SetValue(HKEY_LOCAL_MACHINE, kAppPathKey, nullptr, "C:\\Moved\\kestro-rt-test.exe");
  EXPECT_EQ(kestro::RunTimeDir(3), "C:\\Tools\\rt");  // kept from the first use
  std::string told;
  kestro::SetRunTimeDirMessageHook([&](const std::string& name) { told = name; });
  kestro::SetRunTimeDirDescriptor(4, "|1|kestro-missing.exe|0||0||0||0||||||||1|1|");
  EXPECT_EQ(kestro::RunTimeDir(4), "");
  EXPECT_EQ(told, "kestro-missing.exe");
  EXPECT_TRUE(kestro::RunTimeDirMissing());
  kestro::SetRunTimeDirMessageHook(nullptr);
  EXPECT_EQ(kestro::RunTimeDir(5), "");  // no descriptor
}

TEST(RunTimeDirSearch, FindsFilesAndFoldersInATree) {
  const std::string root = ktest::ScratchDir();
  kestro::ForceDirectories(root + "\\a\\b\\Data");
  ktest::WriteFileText(root + "\\a\\b\\target.dll", "x");
  EXPECT_EQ(kestro::FindFileUnder(root, "target.dll"), root + "\\a\\b\\target.dll");
  EXPECT_EQ(kestro::FindFolderUnder(root, "data"), root + "\\a\\b\\Data");
  EXPECT_EQ(kestro::FindFileUnder(root, "missing.dll"), "");
  EXPECT_EQ(kestro::FindFolderUnder(root, "Dat"), "");
}

// The build tree holds a folder whose two links lead back to it (made by
// the build on the host). Followed, they make 2^depth paths.
TEST(RunTimeDirSearch, DoesNotFollowLinksRoundInCircles) {
  const std::string loop = ktest::BinaryDir() + "\\walk-loop";
  ASSERT_TRUE(kestro::DirExists(loop + "\\sub\\up")) << "made by the build";
  auto search = std::async(std::launch::async, [&] { return kestro::FindFileUnder(loop, "missing.dll"); });
  const bool ended = search.wait_for(std::chrono::seconds(60)) == std::future_status::ready;
  if (!ended) kestro::CancelDriveSearch();
  EXPECT_TRUE(ended);
  EXPECT_EQ(search.get(), "");
}

TEST(RunTimeDirSearch, DriveSearchesTakeOnlyDrivesOfTheType) {
  EXPECT_EQ(kestro::FindFolderOnDrives(kestro::WindowsDir(false), 3, false), kestro::WindowsDir(false));
  EXPECT_EQ(kestro::FindFolderOnDrives(kestro::WindowsDir(false), 4, false), "");
  const std::string probe = "C:\\kestro-rt-probe.txt";
  ktest::WriteFileText(probe, "x");
  kestro::SetSearchDriveLetters("C");
  EXPECT_EQ(kestro::FindFileOnDrives("kestro-rt-probe.txt", 3, false), probe);
  EXPECT_EQ(kestro::FindFileOnDrives("kestro-rt-probe.txt", 4, false), "");
  kestro::SetSearchDriveLetters("CDEFGHIJKLMNOPQRSTUVWXYZ");
  DeleteFileA(probe.c_str());
}
