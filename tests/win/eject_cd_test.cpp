// EjectCd only touches CD-ROM drives. Wine reports a drive as CD-ROM when the
// prefix maps it so (HKLM\Software\Wine\Drives, "x:" = "cdrom"); without such
// a drive only the refusals can be shown.
#include <windows.h>

#include <gtest/gtest.h>

#include "../support/captured_trace.h"
#include "win/Files/eject_cd.h"

using namespace kestro;
using ktest::CapturedTrace;

namespace {

char FindCdDrive() {
  for (char d = 'A'; d <= 'Z'; ++d)
    if (GetDriveTypeA((std::string(1, d) + ":\\").c_str()) == DRIVE_CDROM) return d;
  return 0;
}

TEST(EjectCd, LeavesEverythingButCdDrivesAlone) {
  const char* paths[] = {"", "1:\\x", "\\\\server\\share\\setup.exe.002", "C:\\windows", "z:\\tmp\\setup.exe.002"};
  for (const char* path : paths) {
    ktest::CapturedTrace trace;
    EXPECT_FALSE(EjectCd(path)) << path;
    EXPECT_EQ(trace.Text(), "") << path << ": no device was opened";
  }
}

TEST(EjectCd, OpensTheCdDeviceOfALowerCasePath) {
  const char drive = FindCdDrive();
  if (!drive) GTEST_SKIP() << "this Wine prefix maps no CD-ROM drive";
  ktest::CapturedTrace trace;
  const std::string path = std::string(1, char(drive - 'A' + 'a')) + ":\\setup.exe.002";
  EjectCd(path);  // Wine's drives do not eject; the answer is the drive's
  const std::string device = std::string("\\\\.\\") + drive + ":";
  EXPECT_EQ(trace.Text().rfind("EjectCD-2: " + device + " ", 0), 0u) << trace.Text();
}

}  // namespace
