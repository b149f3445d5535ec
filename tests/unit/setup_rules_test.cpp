#include "core/StubWin/instance_name.h"
#include "core/StubWin/self_removal_batch.h"
#include "core/StubSetup/temp_space.h"
#include "core/Utils/ksub.h"

#include <gtest/gtest.h>

namespace kestro {
namespace {

std::string Defaults(const std::string&, const std::string& def) { return def; }

TEST(ExtractionFolder, LiesInTheTempFolderOrNowhere) {
  struct Case {
    const char* temp;
    uint32_t fileTime;
    const char* folder;
  } cases[] = {
      {"C:\\users\\me\\Temp\\", 0x5A2B1234u, "C:\\users\\me\\Temp\\SETUP_4660"},
      {"C:\\Temp\\", 0, "C:\\Temp\\SETUP_0"},
      // Unknown temp folder: never a bare "SETUP_n" in the current folder,
      // which would be emptied and deleted.
      {"", 0x5A2B1234u, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ExtractionFolderPath(c.temp, c.fileTime), c.folder) << c.temp;
}

TEST(InstanceName, AClassNameFitsAndStillTellsPathsApart) {
  const std::string deep = "C:\\Downloads\\" + std::string(250, 'd') + "\\setup.exe";
  const std::string fitted = FitWindowClassName(deep);
  EXPECT_EQ(fitted.size(), kMaxWindowClassName);
  EXPECT_EQ(fitted.substr(0, 40), deep.substr(0, 40));
  EXPECT_EQ(fitted[kMaxWindowClassName - 17], '#');

  struct Case {
    const char* why;
    std::string a, b;
    bool same;
  } cases[] = {
      {"same path", deep, deep, true},
      {"other case: class names ignore case", deep, SUB::Upper(deep), true},
      {"another file in the same folder", deep, deep.substr(0, deep.size() - 9) + "other.exe", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SUB::SameText(FitWindowClassName(c.a), FitWindowClassName(c.b)), c.same) << c.why;

  // Names that fit stay exactly as they are.
  for (const std::string& name : {std::string("C:\\setup.exe"), std::string(255, 'x'), std::string()})
    EXPECT_EQ(FitWindowClassName(name), name);
  EXPECT_EQ(FitWindowClassName(std::string(256, 'x')).size(), kMaxWindowClassName);
}

TEST(TempSpace, MegabyteTextsChangePrecisionWithSize) {
  struct Case {
    double bytes;
    const char* text;
  } cases[] = {
      {0, "0.000"},          {-5, "0.000"},           {524288, "0.500"},
      {1048576, "1.00"},     {10 * 1048576.0, "10.00"}, {10.5 * 1048576, "10.5"},
      {3.5 * 1073741824.0, "3584.0"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatMegabytes(c.bytes), c.text) << c.bytes;
}

TEST(TempSpace, NoticeOnlyWhenAskedForOrSpaceIsShort) {
  TempSpaceFacts f;
  f.folder = "c:\\temp\\SETUP_1";
  f.needed = 1048576;
  f.available = 20 * 1048576.0;
  EXPECT_EQ(TempSpaceNotice(f, Defaults), "");

  f.alwaysNotify = true;
  EXPECT_EQ(TempSpaceNotice(f, Defaults),
            "Kestro will extract files to your Temp Drive (C:)<P>"
            "<P>Estimated space required on your Temp drive is: <T>  1.00 MB<P>"
            "Free space available on your Temp drive is: <T>  20.0 MB<P>"
            "<P>Continue with Setup?<P>");

  f.needed = f.available;  // equal counts as short
  std::string text = TempSpaceNotice(f, Defaults);
  EXPECT_EQ(text.rfind("Limited Free Space on your Temp Drive! (C:)<P>", 0), 0u) << text;
}

TEST(TempSpace, NoticeUsesTheLanguageTexts) {
  TempSpaceFacts f;
  f.needed = 2;
  f.available = 1;
  auto lang = [](const std::string& key, const std::string&) {
    return key == "s3" ? std::string("Az yer <DRIVE> <SPACE_REQ>/<SPACE_AVAIL>") : std::string();
  };
  EXPECT_EQ(TempSpaceNotice(f, lang), "Az yer  0.000/0.000");
}

TEST(TempSpace, BetterDriveIsTheRoomiestOtherFixedDrive) {
  struct Case {
    uint64_t free[3];
    char current;
    char pick;
  } cases[] = {
      {{10, 50, 20}, 'C', 'D'}, {{50, 50, 20}, 'D', 'C'}, {{10, 50, 20}, 'd', 0},
      {{0, 0, 0}, 'C', 0},      {{0, 0, 7}, 'C', 'E'},
  };
  for (const Case& c : cases) EXPECT_EQ(PickBetterTempDrive(c.free, c.current), c.pick);
}

TEST(SelfRemoval, BatchRetriesUntilTheExeIsGone) {
  EXPECT_EQ(SelfRemovalBatch("C:\\T\\S 1\\Y_s.exe", "C:\\T\\S 1", "C:\\T\\_DEL_ME_.BAT", false),
            ":START\r\nDEL \"C:\\T\\S 1\\Y_s.exe\"\r\n"
            "IF exist \"C:\\T\\S 1\\Y_s.exe\" GOTO START\r\nDEL \"C:\\T\\_DEL_ME_.BAT\"\r\n");
  EXPECT_EQ(SelfRemovalBatch("C:\\T\\x.exe", "C:\\T", "C:\\B.BAT", true),
            ":START\r\nDEL \"C:\\T\\x.exe\"\r\nIF exist \"C:\\T\\x.exe\" GOTO START\r\n"
            "RD \"C:\\T\"\r\nDEL \"C:\\B.BAT\"\r\n");
}

TEST(SelfRemoval, PercentSignsInPathsAreNotExpanded) {
  // "%TEMP%" between quotes would still be replaced by the interpreter, and
  // DEL would aim at another file.
  EXPECT_EQ(SelfRemovalBatch("C:\\50%TEMP%\\x.exe", "C:\\50%TEMP%", "C:\\T\\%1.BAT", true),
            ":START\r\nDEL \"C:\\50%%TEMP%%\\x.exe\"\r\n"
            "IF exist \"C:\\50%%TEMP%%\\x.exe\" GOTO START\r\n"
            "RD \"C:\\50%%TEMP%%\"\r\nDEL \"C:\\T\\%%1.BAT\"\r\n");
}

}  // namespace
}  // namespace kestro
