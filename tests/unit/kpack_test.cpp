// kpack as a publisher runs it, read back through the package descriptor.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>

#include "../support/package_bytes.h"
#include "../support/tool_run.h"
#include "core/PackX/file_info.h"
#include "core/PackX/file_source.h"
#include "core/UnPack/package_blocks.h"
#include "core/PackX/package_token.h"

using namespace kestro;
namespace fs = std::filesystem;

namespace {

using ktest::RunResult;

RunResult Kpack(const std::vector<std::string>& args) {
  return ktest::RunTool(std::string(KESTRO_BINARY_DIR) + "/tools/kpack/kpack", args);
}

void Write(const fs::path& p, const std::string& bytes) { ktest::WriteBytes(p, bytes); }
std::string Read(const fs::path& p) { return ktest::ReadBytes(p); }

// Every file of a package, its pieces appended over the volumes as the stub does.
struct Extracted : BlockSink {
  std::map<std::string, std::string> files;
  std::map<std::string, uint32_t> times;
  std::string engineEntry, current;
  int negativeBlocks = 0;
  size_t zstdBlocks = 0;
  void BeginBlock(BlockMethod method, uint64_t) override { zstdBlocks += method == BlockMethod::kZstd; }
  void BeginFile(const FileBlockHeader& h) override {
    current = h.name;
    files[current];
    times[current] = h.dosTime;
  }
  void FileData(const uint8_t* p, size_t n) override { files[current].append(reinterpret_cast<const char*>(p), n); }
  void EndFile() override {}
};

Extracted ExtractAll(const std::vector<std::string>& volumes) {
  Extracted x;
  for (const std::string& v : volumes) {
    FileSource src(v);
    PackageTrailer t;
    EXPECT_TRUE(ReadPackageTrailer(src, t)) << v;
    VolumeWalk w = WalkVolumeBlocks(src, t.PackageStart(), GetDataEnd(src), t.HeaderCount(), x);
    EXPECT_EQ(w.status, VolumeStatus::kComplete) << v;
    if (!w.engineEntry.empty()) x.engineEntry = w.engineEntry;
  }
  return x;
}

class KpackTool : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(KESTRO_BINARY_DIR) / "kpack_test" /
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    stub_ = (dir_ / "stub.exe").string();
    Write(stub_, ktest::TinyStub());
    Write(dir_ / "in" / "readme.txt", "read me");
    Write(dir_ / "in" / "setup.exe", "MZ engine");
    Write(dir_ / "in" / "data" / "blob.bin", Random(150000));
    TGFileInfo::ResetLanguageCache();
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  static std::string Random(size_t n) {
    std::mt19937 rng(7);
    std::string s(n, '\0');
    for (char& c : s) c = char(rng());
    return s;
  }
  std::vector<std::string> Base() const { return {"--stub", stub_, "--out", Path("setup.exe")}; }
  RunResult Pack(std::vector<std::string> extra) {
    std::vector<std::string> args = Base();
    args.insert(args.end(), extra.begin(), extra.end());
    return Kpack(args);
  }

  fs::path dir_;
  std::string stub_;
};

TEST_F(KpackTool, EveryHeaderOptionReadsBackThroughTheDescriptor) {
  Write(dir_ / "lang.ini", "; languages\n[English]\ns1 = Extracting...\r\nFontSize=9\n\n[Turkish]\ns1=Dosyalar\n");
  RunResult r = Pack({"--dir", Path("in"), "--engine", "setup.exe", "--engine-switches", "/lang=en /q",
                "--languages", Path("lang.ini"), "--update-url", "http://upd/x/", "--info-file", "app.info",
                "--agent-name", "agent.exe", "--product-token", "PROD|1", "--hidden", "--web-source",
                "http://web/", "--web-package", "pkg.exe", "--no-local-package", "--web-token", "WEB-2",
                "--web-size", "123456", "--space", "1,2,3,4,5,6,7,8,9", "--no-times"});
  ASSERT_EQ(r.code, 0) << r.output;
  TGFileInfo info(Path("setup.exe"));
  ASSERT_TRUE(info.HasPackage());
  EXPECT_EQ(info.Trailer().HeaderCount(), 3);
  EXPECT_EQ(info.Trailer().FileCount(), 3u);
  EXPECT_EQ(info.GetUpdateUrl(), "http://upd/x/");
  EXPECT_EQ(info.GetInfoFileName(), "app.info");
  EXPECT_EQ(info.GetOriginalFileName(), "app.original");
  EXPECT_EQ(info.GetAgentExeName(), "agent.exe");
  EXPECT_EQ(info.GetProductToken(true), "PROD|1");
  EXPECT_NE(info.GetProductToken(false), "PROD|1");
  EXPECT_TRUE(info.IsHiddenByDefault());
  EXPECT_EQ(info.GetWebSource(), "http://web/");
  EXPECT_EQ(info.GetWebPackageName(), "pkg.exe");
  EXPECT_TRUE(info.NoLocalPackage());
  EXPECT_EQ(info.GetWebToken(true), "WEB-2");
  EXPECT_EQ(info.GetWebPackageSize(), "123456");
  for (size_t i = 0; i < kSpaceTableEntries; ++i) EXPECT_EQ(info.Trailer().Space(i), i + 1);
  TGFileInfo::SetUserLanguageName("Turkish");
  EXPECT_EQ(info.GetLangString("s1", "d"), "Dosyalar");
  TGFileInfo::ResetLanguageCache();
  TGFileInfo::SetUserLanguageName("German");
  EXPECT_EQ(info.GetLangString("s1", "d"), "Extracting...");
  EXPECT_EQ(info.GetFontSize(), 9);
  TGFileInfo::SetUserLanguageName("");

  Extracted x = ExtractAll({Path("setup.exe")});
  EXPECT_EQ(x.engineEntry, "setup.exe*/lang=en /q");
  EXPECT_EQ(x.files["readme.txt"], "read me");
  EXPECT_EQ(x.files["data\\blob.bin"], Read(dir_ / "in" / "data" / "blob.bin"));
  EXPECT_EQ(x.times["readme.txt"], 0u) << "--no-times";
}

TEST_F(KpackTool, EachTrailerFlagSetsItsOwnAccessor) {
  using Check = std::function<bool(const TGFileInfo&)>;
  const std::pair<const char*, Check> cases[] = {
      {"--temp-notice", [](const TGFileInfo& i) { return i.ShowTempDriveNotice(); }},
      {"--cd-spanned", [](const TGFileInfo& i) { return i.IsCdSpanned(); }},
      {"--busy-bar", [](const TGFileInfo& i) { return i.ShowBusyBar(); }},
      {"--agent-log", [](const TGFileInfo& i) { return i.AgentLogEnabled(); }},
      {"--creates-agent", [](const TGFileInfo& i) { return i.CreatesAgent(); }},
      {"--agent", [](const TGFileInfo& i) { return i.IsAgent(); }},
      {"--ask-before-download", [](const TGFileInfo& i) { return i.AskBeforeDownload(); }},
      {"--web-setup", [](const TGFileInfo& i) { return i.IsWebSetup(); }},
  };
  for (const auto& [option, set] : cases) {
    std::vector<std::string> args = {option};
    // An agent without a release key is packed only when asked for so.
    if (option == std::string("--creates-agent") || option == std::string("--agent")) args.push_back("--unsigned-agent");
    ASSERT_EQ(Pack(args).code, 0) << option;
    TGFileInfo info(Path("setup.exe"));
    for (const auto& [other, check] : cases) EXPECT_EQ(check(info), other == option) << option << " vs " << other;
    EXPECT_FALSE(info.HasNextVolume());
  }
}

TEST_F(KpackTool, VolumesSplitAFileAndCarryTheirOwnTrailers) {
  // The blob holds a random half and a half that repeats it: the repeat
  // compresses only where the window reaches back to the first half.
  const std::string random = Random(60000);
  Write(dir_ / "in" / "data" / "blob.bin", random + random + Random(30000));
  const std::vector<std::vector<std::string>> modes = {
      {"--level", "9"}, {"--store"}, {"--method", "zstd"}, {"--solid"}, {"--solid", "--window", "128K", "--level", "3"}};
  for (const auto& mode : modes) {
    SCOPED_TRACE(mode[0] + (mode.size() > 1 ? " " + mode[1] : ""));
    std::vector<std::string> args = {"--dir", Path("in"), "--volume-size", "50000", "--engine", "setup.exe"};
    args.insert(args.end(), mode.begin(), mode.end());
    RunResult r = Pack(args);
    ASSERT_EQ(r.code, 0) << r.output;
    std::vector<std::string> volumes = {Path("setup.exe")};
    for (unsigned n = 2; fs::exists(VolumePath(Path("setup.exe"), n)); ++n) volumes.push_back(VolumePath(Path("setup.exe"), n));
    ASSERT_GE(volumes.size(), 3u);
    for (size_t i = 0; i < volumes.size(); ++i) {
      SCOPED_TRACE(volumes[i]);
      EXPECT_LE(fs::file_size(volumes[i]), 50000u);
      TGFileInfo v(volumes[i]);
      EXPECT_EQ(v.HasNextVolume(), i + 1 < volumes.size());
      FileSource src(volumes[i]);
      EXPECT_TRUE(ChecksumAccepted(ComputeChecksum(src, kTrailerSize), v.Trailer().Checksum()));
      EXPECT_NE(v.Trailer().Checksum(), kChecksumNotChecked) << "volumes under 51,200 bytes carry a real sum";
    }
    Extracted x = ExtractAll(volumes);
    if (mode[0] == "--solid") {
      EXPECT_EQ(x.zstdBlocks, volumes.size()) << "one run per volume";
    }
    EXPECT_EQ(x.files["data\\blob.bin"], Read(dir_ / "in" / "data" / "blob.bin"));
    EXPECT_EQ(x.files["setup.exe"], "MZ engine");
    EXPECT_EQ(x.engineEntry, "setup.exe*");
    for (unsigned n = 2; n < 10; ++n) fs::remove(VolumePath(Path("setup.exe"), n));
  }
}

TEST_F(KpackTool, InfoShowsEachBlocksMethodAndTheFilesOfEachRun) {
  const std::vector<std::string> files = {"--dir", Path("in")};
  struct Case {
    std::vector<std::string> mode;
    const char* blocks;
    const char* runs;  // empty: no line
  } cases[] = {
      {{}, "0 stored, 3 zlib, 0 zstd", ""},
      {{"--store"}, "3 stored, 0 zlib, 0 zstd", ""},
      {{"--method", "zstd"}, "0 stored, 0 zlib, 3 zstd", "zstd runs, files:   1 1 1\n"},
      {{"--solid"}, "0 stored, 0 zlib, 1 zstd", "zstd runs, files:   3\n"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = files;
    args.insert(args.end(), c.mode.begin(), c.mode.end());
    ASSERT_EQ(Pack(args).code, 0) << c.blocks;
    RunResult info = Kpack({"--info", Path("setup.exe")});
    EXPECT_NE(info.output.find(std::string("blocks:            ") + c.blocks + "\n"), std::string::npos) << info.output;
    EXPECT_EQ(info.output.find("zstd runs") != std::string::npos, *c.runs != 0) << info.output;
    if (*c.runs) {
      EXPECT_NE(info.output.find(c.runs), std::string::npos) << info.output;
    }
    EXPECT_EQ(TGFileInfo(Path("setup.exe")).Trailer().FileCount(), 3u) << "a run counts its files";
    Extracted x = ExtractAll({Path("setup.exe")});
    EXPECT_EQ(x.files["data\\blob.bin"], Read(dir_ / "in" / "data" / "blob.bin"));
  }
}

TEST_F(KpackTool, StoredBlocksHaveNegativeLengths) {
  ASSERT_EQ(Pack({"--store", "--file", "a.txt=" + Path("in/readme.txt")}).code, 0);
  TGFileInfo info(Path("setup.exe"));
  std::string bytes = Read(Path("setup.exe"));
  int32_t length = int32_t(GetLe32(reinterpret_cast<const uint8_t*>(&bytes[info.Trailer().PackageStart()])));
  EXPECT_LT(length, 0);
  EXPECT_EQ(bytes.substr(info.Trailer().PackageStart() + 4, 7), "|a.txt|");
}

TEST_F(KpackTool, AutoSpaceTableSumsSizesByCluster) {
  ASSERT_EQ(Pack({"--file", "a=" + Path("in/readme.txt"), "--file", "b=" + Path("in/data/blob.bin")}).code, 0);
  TGFileInfo info(Path("setup.exe"));
  auto rounded = [](uint64_t size, uint64_t cluster) { return (size + cluster - 1) / cluster * cluster; };
  EXPECT_EQ(info.Trailer().Space(0), rounded(7, 4096) + rounded(150000, 4096));
  EXPECT_EQ(info.Trailer().Space(1), rounded(7, 512) + rounded(150000, 512));
  EXPECT_EQ(info.Trailer().Space(8), rounded(7, 65536) + rounded(150000, 65536));
}

TEST_F(KpackTool, AWebSetupCarriesNoFiles) {
  ASSERT_EQ(Pack({"--web-setup", "--web-source", "http://w/", "--web-package", "p.exe"}).code, 0);
  TGFileInfo info(Path("setup.exe"));
  EXPECT_TRUE(info.IsWebSetup());
  EXPECT_EQ(info.Trailer().FileCount(), 0u);
  EXPECT_EQ(info.Trailer().PackageStart(), fs::file_size(Path("setup.exe")) - kTrailerSize);
  RunResult r = Pack({"--web-setup", Path("in/readme.txt")});
  EXPECT_NE(r.code, 0);
  EXPECT_NE(r.output.find("carries no files"), std::string::npos) << r.output;
}

TEST_F(KpackTool, BadCommandLinesAreRefusedWithAReason) {
  struct Case {
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {{"--bogus"}, "unknown option --bogus"},
      {{"--level"}, "--level needs a value"},
      {{"--level", "12"}, "--level needs 1..9"},
      {{"--level", "23", "--method", "zstd"}, "--level needs a number"},
      {{"--method", "lzma"}, "--method needs zlib or zstd"},
      {{"--solid", "--method", "zlib"}, "--solid needs zstd"},
      {{"--solid", "--store"}, "--solid needs zstd"},
      {{"--window", "3M"}, "--window needs a power of two"},
      {{"--window", "64K"}, "--window needs a power of two"},
      {{"--window", "256M"}, "--window needs a power of two"},
      {{"--volume-size", "10Q"}, "--volume-size needs a number"},
      {{"--volume-size", "600"}, "too small"},
      {{"--space", "1,2,3"}, "nine byte counts"},
      {{"--space", "1,2,3,4,5,6,7,8,99999999999"}, "not a 32-bit byte count"},
      {{"--engine", "nothere.exe", Path("in/readme.txt")}, "not among the packed files"},
      {{"--engine-switches", "/x"}, "needs --engine"},
      {{"--file", "..\\up.txt=" + Path("in/readme.txt")}, "not a relative name"},
      {{"--file", "C:\\x.txt=" + Path("in/readme.txt")}, "not a relative name"},
      {{"--file", "noequals"}, "NAME=PATH"},
      {{Path("in/readme.txt"), "--file", "README.TXT=" + Path("in/setup.exe")}, "packed twice"},
      {{Path("missing.txt")}, "cannot read"},
      {{"--dir", Path("nofolder")}, "not a folder"},
      {{"--languages", Path("missing.ini")}, "cannot read the language file"},
      {{"--stub", Path("in"), Path("in/readme.txt")}, "cannot read the stub"},
      {{"--sign-ready", "--stub", Path("in/setup.exe"), Path("in/readme.txt")}, "PE header at offset 256"},
  };
  for (const Case& c : cases) {
    fs::remove(Path("setup.exe"));
    RunResult r = Pack(c.args);
    EXPECT_NE(r.code, 0) << c.says;
    EXPECT_NE(r.output.find(c.says), std::string::npos) << r.output;
    EXPECT_FALSE(fs::exists(Path("setup.exe"))) << c.says << ": no half-written output";
  }
  RunResult noStub = Kpack({"--out", Path("x.exe")});
  EXPECT_NE(noStub.output.find("no stub"), std::string::npos);
}

TEST_F(KpackTool, HelpNamesEveryOptionAndScrambleGivesAReadableToken) {
  RunResult help = Kpack({"--help"});
  EXPECT_EQ(help.code, 0);
  for (const char* option : {"--stub", "--out", "--file", "--dir", "--engine", "--engine-switches", "--no-times",
                             "--languages", "--update-url", "--info-file", "--agent-name", "--product-token",
                             "--hidden", "--web-source", "--web-package", "--no-local-package", "--web-token",
                             "--web-size", "--temp-notice", "--cd-spanned", "--busy-bar", "--agent-log",
                             "--creates-agent", "--agent", "--unsigned-agent", "--web-setup", "--ask-before-download", "--space",
                             "--store", "--method", "--solid", "--window", "--level", "--volume-size", "--no-checksum", "--sign-ready",
                             "--scramble", "--info"})
    EXPECT_NE(help.output.find(option), std::string::npos) << option;
  RunResult s = Kpack({"--scramble", "my-token"});
  ASSERT_EQ(s.code, 0);
  while (!s.output.empty() && (s.output.back() == '\n' || s.output.back() == '\r')) s.output.pop_back();
  EXPECT_EQ(UnscrambleToken(s.output), std::optional<std::string>("my-token"));
}

TEST_F(KpackTool, NoChecksumStores1234) {
  ASSERT_EQ(Pack({"--no-checksum", Path("in/readme.txt")}).code, 0);
  EXPECT_EQ(TGFileInfo(Path("setup.exe")).Trailer().Checksum(), kChecksumNotChecked);
  ASSERT_EQ(Pack({Path("in/readme.txt")}).code, 0);
  EXPECT_NE(TGFileInfo(Path("setup.exe")).Trailer().Checksum(), kChecksumNotChecked);
}

}  // namespace
