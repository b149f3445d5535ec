// The machine as the program sees it, under the Windows versions Wine can
// pretend to be. The probes run in processes of their own, since the
// version is chosen per program.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "../support/setup_road.h"
#include "../support/wine_version.h"
#include "core/Utils/ksub.h"
#include "win/Files/files.h"
#include "win/Utils/exe_version.h"
#include "win/Win64/system_info.h"

namespace {

using kestro::SUB;

std::map<std::string, std::string> Probe(const std::string& exe, const std::string& version) {
  ktest::WineVersionFor v(exe + ".exe", version);
  const std::string out = ktest::BinaryDir() + "\\" + exe + "-" + version + ".txt";
  DeleteFileA(out.c_str());
  EXPECT_EQ(ktest::RunToEnd("\"" + ktest::HelperExe(exe) + "\" \"" + out + "\""), 0) << version;
  std::map<std::string, std::string> facts;
  for (const std::string& line : SUB::Items("\n" + kestro::ReadWholeFile(out)))
    if (line.find('=') != std::string::npos) facts[SUB::TextBefore(line, "=")] = SUB::TextAfter(line, "=");
  return facts;
}

// What a system that reports 6.3 is named after the kernel32 correction.
std::string CorrectedSixThree(bool x64) {
  kestro::OSVersionRecord r;
  r.platformId = kestro::kPlatformNT;
  r.major = 6;
  r.minor = 3;
  const std::string kernel = kestro::GetProductVersion(kestro::SystemDir() + "kernel32.dll", 1, 4);
  return kestro::IdentifyOS(kestro::WithKernelVersion(r, kernel), x64, false).shortName;
}

}  // namespace

// The test tree may be built for 64-bit Windows (where the machine cannot
// run 32-bit code), and then the 64-bit names apply.
TEST(SystemIdentification, NamesEachWindowsVersionWineReports) {
  const bool x64 = sizeof(void*) == 8;
  struct Case {
    const char* exe;
    const char* wine;
    std::string name, name64;
    const char *nt, *xp, *win8;
  } cases[] = {
      {"os_probe", "win98", "98", "98", "0", "0", "0"},
      {"os_probe", "nt40", "NT", "NT", "1", "0", "0"},
      {"os_probe", "win2k", "2000", "2000", "1", "0", "0"},
      {"os_probe", "winxp", "XP", "XP", "1", "1", "0"},
      {"os_probe", "win2003", "2003", "XP.64", "1", "0", "0"},
      {"os_probe", "vista", "Vista", "Vista.64", "1", "0", "0"},
      {"os_probe", "win2008", "2008", "2008.64", "1", "0", "0"},
      // 64-bit Wine reports its "win7" with the server product type.
      {"os_probe", "win7", "7", "2008R2.64", "1", "0", "0"},
      {"os_probe", "win8", "8", "8.64", "1", "0", "1"},
      {"os_probe", "win81", CorrectedSixThree(false), CorrectedSixThree(true), "1", "0", "1"},
      // The stub's manifest declares 10: before it did, 10 was named "8".
      {"os_probe", "win10", "10", "10.64", "1", "0", "1"},
      // A program without the declarations is told 6.2, which stays "8".
      {"os_probe_plain", "win10", "8", "8.64", "1", "0", "1"},
      {"os_probe_plain", "win81", "8", "8.64", "1", "0", "1"},
  };
  for (const Case& c : cases) {
    auto facts = Probe(c.exe, c.wine);
    EXPECT_EQ(facts["name"], x64 ? c.name64 : c.name) << c.exe << " " << c.wine;
    EXPECT_EQ(facts["nt"], c.nt) << c.wine;
    EXPECT_EQ(facts["xp"], c.xp) << c.wine;
    EXPECT_EQ(facts["win8"], c.win8) << c.wine;
    EXPECT_EQ(facts["x64"], x64 ? "1" : "0") << c.wine;
  }
}

TEST(SystemIdentification, ReadsVersionsOfExecutables) {
  EXPECT_EQ(kestro::GetExeVersion(ktest::StubExe()), "1.0.0.0");
  EXPECT_EQ(kestro::GetExeVersion(ktest::StubExe(), 2, 3), "01.00.00");
  EXPECT_EQ(kestro::GetProductVersion(ktest::StubExe(), 1, 2), "1.0");
  EXPECT_EQ(kestro::GetExeVersion(ktest::EngineExe()), "");
  EXPECT_EQ(kestro::GetProductVersion(ktest::EngineExe()), "");
  EXPECT_EQ(kestro::GetExeVersion(ktest::BinaryDir() + "\\no-such-file.exe"), "");
  EXPECT_EQ(kestro::GetExeVersion(""), "");  // this test program has no version resource
}

TEST(SystemIdentification, NamesOfUserAndMachineMatchTheSystemsOwn) {
  const char* user = getenv("USERNAME");
  const char* computer = getenv("COMPUTERNAME");
  if (user) {
    EXPECT_TRUE(SUB::EqualIgnoreCase(kestro::GetLoggedUserName(), user));
  }
  if (computer) {
    EXPECT_TRUE(SUB::EqualIgnoreCase(kestro::GetComputerNameText(), computer));
  }
  // The registered owner as the registry holds it (a new Wine prefix holds an
  // empty one), the logged-on user where the value is missing.
  char owner[256] = "";
  DWORD size = sizeof owner;
  const LSTATUS found = RegGetValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                                     "RegisteredOwner", RRF_RT_REG_SZ, nullptr, owner, &size);
  EXPECT_EQ(kestro::GetRegisteredOwner(),
            found == ERROR_SUCCESS ? SUB::Trim(owner) : kestro::GetLoggedUserName());
  EXPECT_FALSE(kestro::IsServerOS());
  EXPECT_EQ(kestro::Is64BitWindows(), sizeof(void*) == 8);
}
