#include "core/Win64/os_identity.h"

#include <gtest/gtest.h>

using namespace kestro;

namespace {

OSVersionRecord Record(uint32_t platform, uint32_t major, uint32_t minor, uint32_t build = 0) {
  OSVersionRecord r;
  r.platformId = platform;
  r.major = major;
  r.minor = minor;
  r.build = build;
  return r;
}

}  // namespace

TEST(OSName, NamesEveryRowOfTheTableInItsThreePasses) {
  struct Case {
    uint32_t platform, major, minor, build;
    bool is64, server;
    const char* name;
    uint32_t bit;
  } cases[] = {
      {0, 3, 10, 0, false, false, "32S", 0},
      {1, 4, 0, 950, false, false, "95", 0x1},
      {1, 4, 10, 1998, false, false, "98", 0x2},
      {1, 4, 10, 2222, false, false, "98", 0x2},  // second edition
      {1, 4, 10, 3000, false, false, "ME", 0x4},  // reports 4.10 with build 3000
      {1, 4, 90, 3000, false, false, "ME", 0x4},
      {1, 4, 20, 0, false, false, "9x", 0x1},
      {2, 4, 0, 1381, false, false, "NT", 0x8},
      {2, 5, 0, 2195, false, false, "2000", 0x10},
      {2, 5, 1, 2600, false, false, "XP", 0x20},
      {2, 5, 2, 3790, false, false, "2003", 0x40},
      {2, 6, 0, 6002, false, false, "Vista", 0x80},
      {2, 6, 1, 7601, false, false, "7", 0x400},
      {2, 6, 2, 9200, false, false, "8", 0x8000},
      {2, 6, 3, 9600, false, false, "8.1", 0x40000},
      {2, 10, 0, 19045, false, false, "10", 0x200000},
      {2, 6, 4, 9800, false, false, "NTx", 0x8},
      {2, 6, 4, 9800, true, true, "NTx", 0x8},  // no 64-bit row either
      {2, 5, 2, 3790, true, false, "XP.64", 0x100},
      {2, 6, 0, 6002, true, false, "Vista.64", 0x200},
      {2, 6, 1, 7601, true, false, "7.64", 0x800},
      {2, 6, 2, 9200, true, false, "8.64", 0x10000},
      {2, 6, 3, 9600, true, false, "8.1.64", 0x80000},
      {2, 10, 0, 19045, true, false, "10.64", 0x400000},
      {2, 6, 0, 6002, true, true, "2008.64", 0x2000},
      {2, 6, 1, 7601, true, true, "2008R2.64", 0x4000},
      {2, 6, 2, 9200, true, true, "2012.64", 0x20000},
      {2, 6, 3, 9600, true, true, "2012R2.64", 0x100000},
      {2, 6, 0, 6002, false, true, "2008", 0x1000},
      {2, 6, 1, 7601, false, true, "7", 0x400},       // no 32-bit server row
      {2, 5, 2, 3790, true, true, "XP.64", 0x100},    // server pass has no 5.2
      {2, 10, 0, 20348, true, true, "10.64", 0x400000},
      {2, 10, 0, 20348, false, true, "10", 0x200000},
      {3, 10, 0, 0, false, false, "", 0},
  };
  for (const Case& c : cases) {
    const OSName n = IdentifyOS(Record(c.platform, c.major, c.minor, c.build), c.is64, c.server);
    EXPECT_EQ(n.shortName, c.name) << c.platform << " " << c.major << "." << c.minor;
    EXPECT_EQ(n.osBit, c.bit) << c.name;
  }
}

TEST(OSName, CarriesVersionTextBuildAndTrimmedServicePack) {
  OSVersionRecord r = Record(2, 6, 1, 7601);
  r.servicePack = "  Service Pack 1 ";
  const OSName n = IdentifyOS(r, false, false);
  EXPECT_EQ(n.versionText, "6.1");
  EXPECT_EQ(n.servicePack, "Service Pack 1");
  EXPECT_EQ(n.build, 7601u);
}

TEST(OSName, PredicatesFollowPlatformAndVersion) {
  struct Case { OSVersionRecord r; bool nt, xp, win8; } cases[] = {
      {Record(1, 4, 10), false, false, false}, {Record(2, 5, 1), true, true, false},
      {Record(2, 6, 1), true, false, false},   {Record(2, 6, 2), true, false, true},
      {Record(2, 10, 0), true, false, true},   {Record(1, 6, 2), false, false, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(IsNTRecord(c.r), c.nt);
    EXPECT_EQ(IsXPRecord(c.r), c.xp);
    EXPECT_EQ(IsWin8OrLaterRecord(c.r), c.win8) << OSVersionText(c.r);
  }
}

TEST(OSName, KernelVersionCorrectsRecordsAboveSixTwoOnly) {
  EXPECT_TRUE(NeedsKernelVersionCorrection(Record(2, 6, 3)));
  EXPECT_FALSE(NeedsKernelVersionCorrection(Record(2, 6, 2)));  // left alone
  EXPECT_FALSE(NeedsKernelVersionCorrection(Record(2, 10, 0)));
  EXPECT_FALSE(NeedsKernelVersionCorrection(Record(2, 5, 3)));
  const OSVersionRecord fixed = WithKernelVersion(Record(2, 6, 3, 9600), "10.0.19041.1");
  EXPECT_EQ(IdentifyOS(fixed, false, false).shortName, "10");
  EXPECT_EQ(IdentifyOS(fixed, true, false).shortName, "10.64");
  EXPECT_EQ(fixed.build, 19041u);
  const OSVersionRecord partial = WithKernelVersion(Record(2, 6, 3, 9600), "10");
  EXPECT_EQ(OSVersionText(partial), "10.0");
  EXPECT_EQ(partial.build, 0u);
}

TEST(VersionText, FormatsFixedVersionsAndPadsFields) {
  EXPECT_EQ(FixedVersionText(0x000C0000, 0x00000002), "12.0.0.2");
  EXPECT_EQ(FixedVersionText(0xFFFF0001, 0x00020003), "65535.1.2.3");
  struct Case { const char* text; int digits, fields; const char* out; } cases[] = {
      {"12.0.0.2", 2, 3, "12.00.00"},
      {"12.0.0.2", 1, 2, "12.0"},
      {"12.0.0.2", 1, 4, "12.0.0.2"},
      {"1,2", 2, 3, "01.02.00"},
      {"3.1", 1, 4, "3.1.0.0"},
      {"1.2 (build 77)", 1, 3, "1.277.0"},  // the label's digits join the field
      {"", 1, 2, "0.0"},
      {"v..5", 1, 3, "0.0.5"},
      {"1.2.3", 1, 0, ""},
      {"99999999999999999999.1", 1, 2, "0.1"},  // a number too long for a field
  };
  for (const Case& c : cases) EXPECT_EQ(FormatVersion(c.text, c.digits, c.fields), c.out) << c.text;
  EXPECT_TRUE(VersionNeedsFormatting(2, 4));
  EXPECT_TRUE(VersionNeedsFormatting(1, 3));
  EXPECT_FALSE(VersionNeedsFormatting(1, 4));
}
