// The update settings reader against real profile files under Wine.
#include "win/StubUtil/update_settings.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "win/Files/files.h"
#include "../support/package_bytes.h"
#include "../support/test_paths.h"

using namespace kestro;

namespace {

class UpdateSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ktest::BinaryDir() + "\\update_settings_test";
    DeleteTree(dir_, true);
    ASSERT_TRUE(ForceDirectories(dir_));
  }
  void TearDown() override { DeleteTree(dir_, true); }
  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = dir_ + "\\" + name;
    WriteTextToFile(path, text);
    return path;
  }
  std::string dir_;
};

TGFileInfo PackageWithSettings(const std::string& settings) {
  const std::string bytes = ktest::Package("", 0, "", settings);
  MemorySource src(bytes);
  return TGFileInfo(src);
}

}  // namespace

TEST_F(UpdateSettingsTest, BothFilesLieInTheAgentFolderWhateverFolderTheItemNames) {
  const TGFileInfo pkg = PackageWithSettings("|http://u|v1.2\\Product.Setup.info|a.exe|t|");
  const SettingsFiles f = SettingsFilesOf(pkg, dir_);
  EXPECT_EQ(f.folder, dir_ + "\\");
  EXPECT_EQ(f.info, dir_ + "\\Product.Setup.info");
  EXPECT_EQ(f.original, dir_ + "\\Product.original");
  EXPECT_EQ(f.infoName, "Product.Setup.info");
}

TEST_F(UpdateSettingsTest, MissingFileGivesTheDefaults) {
  const OriginalSettings original(dir_ + "\\none.original");
  EXPECT_EQ(original.VersionOriginal(), 0);
  EXPECT_EQ(original.ProbeSecondsInterval(), 0);
  const MsgBoxLook m = original.MsgBox();
  EXPECT_EQ(m.buttons, "|&OK|&Cancel|&Yes|&No|&Abort|&Retry|&Ignore|");
  EXPECT_EQ(m.error + m.confirm + m.attention, "ErrorConfirmAttention");
  EXPECT_EQ(m.fontName, "Tahoma");
  EXPECT_EQ(m.fontSize, 8);
  EXPECT_EQ(m.charset, 0);
  EXPECT_EQ(original.AgentText("s31", "Downloading INFO File..."), "Downloading INFO File...");
  const InfoSettings info(dir_ + "\\none.info");
  EXPECT_EQ(info.AutoInformW(), 360);
  EXPECT_EQ(info.AutoInformH(), 360);
  EXPECT_FALSE(info.AutoInform());
  EXPECT_FALSE(info.BackgroundUpdate());
  EXPECT_EQ(info.NameOfUpdateFile(), "");
}

TEST_F(UpdateSettingsTest, ValueForms) {
  const InfoSettings info(Write("Product.info",
                                "[NewSetup]\r\n"
                                "BackgroundUpdate=1\r\n"
                                "RestartProcess=01\r\n"
                                "InformFinish=TRUE\r\n"
                                "RequestConfirmationBeforeInstall=\r\n"
                                "VersionNew=4294967297\r\n"
                                "Stamp=-7\r\n"
                                "SizeOfUpdateFile=abc\r\n"
                                "ValidVersions=3,4,7\r\n"
                                "[General]\r\nAutoInform=01\r\n"
                                "[AutoInform]\r\nAutoInformW=500\r\nNameOfInformFile=News.txt\r\n"));
  EXPECT_TRUE(info.BackgroundUpdate());
  EXPECT_FALSE(info.RestartProcess());
  EXPECT_FALSE(info.InformFinish());
  EXPECT_FALSE(info.RequestConfirmationBeforeInstall());
  EXPECT_FALSE(info.RequestConfirmationBeforeDownload());
  EXPECT_EQ(info.VersionNew(), 1);
  EXPECT_EQ(info.Stamp(), -7);
  EXPECT_EQ(info.SizeOfUpdateFile(), 0);
  EXPECT_EQ(info.ValidVersions(), "3,4,7");
  EXPECT_TRUE(info.AutoInform());
  EXPECT_EQ(info.AutoInformW(), 500);
  EXPECT_EQ(info.AutoInformH(), 360);
  EXPECT_EQ(info.NameOfInformFile(), "News.txt");
}

TEST_F(UpdateSettingsTest, OverridesReplaceTheSwitches) {
  const std::string path = Write("Product.info",
                                 "[NewSetup]\r\nRequestConfirmationBeforeDownload=1\r\n");
  OverrideFlags flags;
  flags.Set(kOvConfirmDownload, 0);
  flags.Set(kOvConfirmInstall, 1);
  const InfoSettings info(path, flags);
  EXPECT_FALSE(info.RequestConfirmationBeforeDownload());
  EXPECT_TRUE(info.RequestConfirmationBeforeInstall());
  EXPECT_FALSE(info.BackgroundUpdate());
}

TEST_F(UpdateSettingsTest, TimesAreWrittenWithTheirReadableCopies) {
  const std::string path = Write("Product.original", "[OriginalSetup]\r\nVersionOriginal=3\r\n");
  const OriginalSettings original(path);
  const int64_t clock = 46362LL * 86400 + 14 * 3600 + 3 * 60 + 22;  // 06-DEC-2026 14:03:22
  original.SetProbeSecondsLast(clock);
  original.SetReAskSecondsLast(clock + 86400);
  original.SetProbeSecondsInterval(-1);
  original.SetStamp(-9);
  EXPECT_EQ(original.ProbeSecondsLast(), clock);
  EXPECT_EQ(original.ReAskSecondsLast(), clock + 86400);
  EXPECT_EQ(original.ProbeSecondsInterval(), -1);
  EXPECT_EQ(original.Stamp(), -9);
  EXPECT_EQ(original.VersionOriginal(), 3);
  char text[64] = {};
  GetPrivateProfileStringA("OriginalSetup", "__ProbeSecondsLast", "", text, sizeof text, path.c_str());
  EXPECT_STREQ(text, "06-DEC-2026 14:03:22");
  GetPrivateProfileStringA("OriginalSetup", "__ReAskSecondsLast", "", text, sizeof text, path.c_str());
  EXPECT_STREQ(text, "07-DEC-2026 14:03:22");
}
