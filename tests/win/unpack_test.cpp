// Extraction under Windows: real files, volumes and folders.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>
#include <vector>

#include "../support/captured_trace.h"
#include "../support/package_bytes.h"
#include "../support/setup_road.h"
#include "../support/test_paths.h"
#include "core/PackX/file_info.h"
#include "core/PackX/package_writer.h"
#include "win/Files/files.h"
#include "win/UnPack/unpack.h"

using namespace kestro;
using ktest::CapturedTrace;

namespace {

// ---- fixtures ----------------------------------------------------------------------

std::string RandomBytes(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (char& c : s) c = char(rng());
  return s;
}

void Put(const std::string& path, const std::string& bytes) { ASSERT_TRUE(WriteTextToFile(path, bytes)); }

struct Box {
  ExtractBox kind;
  std::string text;
};

class Unpack : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = TempDir(true) + "kestro_unpack_" + std::to_string(GetCurrentProcessId()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    DeleteTree(dir_, true);
    ASSERT_TRUE(ForceDirectories(dir_ + "\\in"));
    stub_ = dir_ + "\\stub.bin";
    Put(stub_, ktest::TinyStub());
    ResetFailedWriteCount();
  }
  void TearDown() override { DeleteTree(dir_, true); }

  std::string In(const std::string& name, const std::string& bytes) {
    std::string path = dir_ + "\\in\\" + name;
    Put(path, bytes);
    return path;
  }

  PackResult Pack(PackOrder order) {
    if (order.stubPath.empty()) order.stubPath = stub_;
    if (order.outPath.empty()) order.outPath = dir_ + "\\setup.exe";
    PackResult r = WritePackage(order);
    EXPECT_EQ(r.error, "");
    return r;
  }

  ExtractResult Extract(const std::string& package, bool alwaysPrompt = false,
                        std::function<bool(const Box&)> answer = nullptr) {
    SetupPackage opened(package);
    ExtractRequest r;
    r.destFolder = Out();
    r.agentName = agentName_;
    r.alwaysPrompt = alwaysPrompt;
    r.discPrompt = "Please insert <B>DISK #<DISK_NUM></B>";
    r.discCaption = "Attention";
    r.settleMs = 0;
    r.progress = [this](ProgressEvent event, int64_t range, int) { progress_.push_back({event, range}); };
    r.messageBox = [this, answer](ExtractBox kind, const std::string& text, const std::string&,
                                  const std::string&, int) {
      boxes_.push_back({kind, text});
      return answer ? answer(boxes_.back()) : kind == ExtractBox::kError;
    };
    r.ejectCd = [this](const std::string& path) {
      ejected_.push_back(path);
      return false;
    };
    return ExtractPackage(opened, r);
  }

  std::string Out() const { return dir_ + "\\out"; }

  std::string dir_, stub_, agentName_;
  std::vector<std::pair<ProgressEvent, int>> progress_;
  std::vector<Box> boxes_;
  std::vector<std::string> ejected_;
};

// ---- volumes ---------------------------------------------------------------------

TEST_F(Unpack, AFileSplitAcrossVolumesExtractsToIdenticalBytes) {
  const std::string big = RandomBytes(300000, 1), small = "small file";
  for (bool compress : {true, false}) {
    SCOPED_TRACE(compress ? "compressed" : "stored");
    PackOrder order;
    order.compress = compress;
    order.volumeSize = 100000;
    order.files = {{In("a.txt", small), "a.txt", 0},
                  {In("big.bin", big), "data\\big.bin", 0},
                  {In("engine.exe", "MZ engine"), "engine.exe*/x /y", 0}};
    PackResult packed = Pack(order);
    ASSERT_GE(packed.volumes.size(), 4u);
    progress_.clear();
    DeleteTree(Out(), true);

    ExtractResult r = Extract(packed.volumes[0]);
    EXPECT_TRUE(r.checksumOk);
    EXPECT_EQ(r.engineEntry, "engine.exe*/x /y");
    EXPECT_EQ(ReadWholeFile(Out() + "\\data\\big.bin"), big);
    EXPECT_EQ(ReadWholeFile(Out() + "\\a.txt"), small);
    EXPECT_EQ(ReadWholeFile(Out() + "\\engine.exe"), "MZ engine");
    EXPECT_TRUE(boxes_.empty()) << "every volume is present: no prompt";
    EXPECT_TRUE(ejected_.empty());

    // Steps: one per new file (a continued file counts once) and one per
    // further volume, after the resets to 0 and to volume 1's file count.
    TGFileInfo first(packed.volumes[0]);
    ASSERT_GE(progress_.size(), 2u);
    EXPECT_EQ(progress_[0], std::make_pair(ProgressEvent::kStart, 0));
    EXPECT_EQ(progress_[1], std::make_pair(ProgressEvent::kStart, int(first.Trailer().FileCount())));
    size_t steps = 0;
    for (const auto& p : progress_) steps += p.first == ProgressEvent::kStep;
    EXPECT_EQ(steps, 3 + packed.volumes.size() - 1);
  }
}

TEST_F(Unpack, ANumberedFirstVolumeLooksForThe002) {
  PackOrder order;
  order.outPath = dir_ + "\\disk.exe.001";
  order.volumeSize = 60000;
  order.files = {{In("big.bin", RandomBytes(100000, 2)), "big.bin", 0}};
  PackResult packed = Pack(order);
  ASSERT_GE(packed.volumes.size(), 2u);
  EXPECT_EQ(packed.volumes[1], dir_ + "\\disk.exe.002");
  ExtractResult r = Extract(packed.volumes[0]);
  EXPECT_TRUE(r.checksumOk);
  EXPECT_EQ(FileSizeByName(Out() + "\\big.bin"), 100000);
}

TEST_F(Unpack, AlwaysPromptAsksAndEjectsForEachFurtherVolume) {
  PackOrder order;
  order.volumeSize = 60000;
  order.files = {{In("big.bin", RandomBytes(100000, 3)), "big.bin", 0}, {In("e.exe", "e"), "e.exe*", 0}};
  PackResult packed = Pack(order);
  ASSERT_EQ(packed.volumes.size(), 2u);
  ExtractResult r = Extract(packed.volumes[0], true, [](const Box&) { return true; });
  EXPECT_TRUE(r.checksumOk);
  EXPECT_EQ(r.engineEntry, "e.exe*");
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].kind, ExtractBox::kDiscPrompt);
  EXPECT_EQ(boxes_[0].text, "Please insert <B>DISK #2</B>");
  EXPECT_EQ(ejected_, std::vector<std::string>{packed.volumes[1]});
}

TEST_F(Unpack, AMissingVolumeIsAskedForUntilItArrivesOrTheUserCancels) {
  PackOrder order;
  order.volumeSize = 60000;
  order.files = {{In("e.exe", "e"), "e.exe*", 0}, {In("big.bin", RandomBytes(100000, 4)), "big.bin", 0}};
  PackResult packed = Pack(order);
  ASSERT_EQ(packed.volumes.size(), 2u);
  const std::string away = dir_ + "\\away.002";
  ASSERT_TRUE(MoveFileA(packed.volumes[1].c_str(), away.c_str()));

  // The disc "arrives" on the second OK.
  ExtractResult r = Extract(packed.volumes[0], false, [&](const Box&) {
    if (boxes_.size() == 2) MoveFileA(away.c_str(), packed.volumes[1].c_str());
    return true;
  });
  EXPECT_TRUE(r.checksumOk);
  EXPECT_EQ(boxes_.size(), 2u);
  EXPECT_EQ(ejected_.size(), 1u);
  EXPECT_EQ(FileSizeByName(Out() + "\\big.bin"), 100000);

  // Cancel: the engine must not start.
  ASSERT_TRUE(MoveFileA(packed.volumes[1].c_str(), away.c_str()));
  boxes_.clear();
  r = Extract(packed.volumes[0], false, [](const Box&) { return false; });
  EXPECT_TRUE(r.cancelled);
  EXPECT_EQ(r.engineEntry, "");
  EXPECT_EQ(boxes_.size(), 1u);
}

// ---- checksum and refused packages -----------------------------------------------------

TEST_F(Unpack, AChecksumMismatchWritesNothing) {
  PackOrder order;
  order.packageSettings = "|http://u/|app.info|agent.exe|token|0|";
  order.files = {{In("e.exe", "engine"), "e.exe*", 0}};
  PackResult packed = Pack(order);
  std::string bytes = ReadWholeFile(packed.volumes[0]);
  ASSERT_LT(bytes.size(), 51200u);
  bytes[520] ^= 0x11;  // inside the header blocks
  Put(packed.volumes[0], bytes);
  ExtractResult r = Extract(packed.volumes[0]);
  EXPECT_FALSE(r.checksumOk);
  EXPECT_EQ(r.engineEntry, "");
  EXPECT_FALSE(FileExists(Out() + "\\e.exe"));

  order.checksum = false;  // 1234: not checked
  packed = Pack(order);
  bytes = ReadWholeFile(packed.volumes[0]);
  bytes[520] ^= 0x11;
  Put(packed.volumes[0], bytes);
  EXPECT_TRUE(Extract(packed.volumes[0]).checksumOk);
}

TEST_F(Unpack, AMissingFirstVolumeFailsTheChecksum) {
  ExtractResult r = Extract(dir_ + "\\nothing.exe");
  EXPECT_FALSE(r.checksumOk);
  EXPECT_EQ(r.engineEntry, "");
}

// A volume that is there but cannot be read (here: held open without
// sharing) cannot be checked; before, its checksum passed on 0 and 0 and the
// run ended without an engine and without a word.
TEST_F(Unpack, AVolumeThatCannotBeOpenedFailsTheChecksum) {
  PackOrder order;
  order.volumeSize = 60000;
  order.files = {{In("e.exe", "engine"), "e.exe*", 0}, {In("big.bin", RandomBytes(100000, 4)), "big.bin", 0}};
  PackResult packed = Pack(order);
  ASSERT_GE(packed.volumes.size(), 2u);
  for (size_t locked : {size_t(0), size_t(1)}) {
    SCOPED_TRACE(packed.volumes[locked]);
    DeleteTree(Out(), true);
    HANDLE lock = CreateFileA(packed.volumes[locked].c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    CapturedTrace trace;
    ExtractResult r = Extract(packed.volumes[0]);
    CloseHandle(lock);
    EXPECT_FALSE(r.checksumOk);
    EXPECT_EQ(r.engineEntry, "");
    EXPECT_NE(trace.Text().find(" Volume cannot be opened: " + packed.volumes[locked]), std::string::npos)
        << trace.Text();
    if (locked == 0) {
      EXPECT_FALSE(FileExists(Out() + "\\e.exe"));
    }
  }
}

TEST_F(Unpack, RefusesNamesThatLeaveTheFolder) {
  // Device names lead out of the folder too: Windows opens the device, in
  // any folder and with any extension.
  const char* names[] = {"..\\evil.txt", "sub\\..\\..\\evil.txt", "../evil.txt", "\\..\\evil.txt",
                         "C:\\evil.txt", "\\C:\\evil.txt", "\\\\server\\share\\evil.txt", "ok.txt:stream", "...",
                         "nul.txt", "sub\\NUL"};
  for (const char* name : names) {
    SCOPED_TRACE(name);
    std::string blocks = ktest::StoredBlock(ktest::FileContent("e.exe*", "engine")) +
                         ktest::StoredBlock(ktest::FileContent(name, "evil"));
    Put(dir_ + "\\bad.exe", ktest::Package(blocks, 2));
    ExtractResult r = Extract(dir_ + "\\bad.exe");
    EXPECT_FALSE(r.checksumOk);
    EXPECT_TRUE(r.refused);
    EXPECT_EQ(r.engineEntry, "");
    EXPECT_FALSE(FileExists(dir_ + "\\evil.txt"));
    EXPECT_FALSE(FileExists(Out() + "\\evil.txt"));
  }
}

TEST_F(Unpack, ADamagedBlockStopsLikeAChecksumFailure) {
  std::string good = ktest::CompressedBlock(ktest::FileContent("f.txt", std::string(5000, 'a')));
  std::string damaged = good;
  damaged[20] ^= 0x55;
  const std::string engine = ktest::StoredBlock(ktest::FileContent("e.exe*", "engine"));
  struct Case {
    const char* what;
    std::string blocks;
  } cases[] = {
      {"zlib error", engine + damaged},
      {"stream cut short", engine + ktest::Le32(uint32_t(good.size() - 14)) + good.substr(4, good.size() - 14)},
      {"length past the data end", engine + ktest::Le32(0x7FFFFFF0) + std::string(200, 'x')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Put(dir_ + "\\bad.exe", ktest::Package(c.blocks, 2));
    ExtractResult r = Extract(dir_ + "\\bad.exe");
    EXPECT_FALSE(r.checksumOk);
    EXPECT_EQ(r.engineEntry, "");
  }
}

// ---- files ------------------------------------------------------------------------

TEST_F(Unpack, FilesGetTheirDosTimeAndEmptyHeadersCarryNoFile) {
  const uint32_t time = (uint32_t(2020 - 1980) << 25) | (6u << 21) | (15u << 16) | (13u << 11) | (30u << 5);
  std::string blocks = ktest::CompressedBlock(ktest::FileContent("dated.txt", "x", time)) +
                       ktest::StoredBlock(std::string(1, '\0') + "ignored") +
                       ktest::StoredBlock(ktest::FileContent("undated.txt", "y", 0));
  Put(dir_ + "\\t.exe", ktest::Package(blocks, 3));
  ExtractResult r = Extract(dir_ + "\\t.exe");
  EXPECT_TRUE(r.checksumOk);
  EXPECT_EQ(FileAge(Out() + "\\dated.txt"), time);
  EXPECT_NE(FileAge(Out() + "\\undated.txt"), time);
  EXPECT_EQ(ReadWholeFile(Out() + "\\undated.txt"), "y");
}

TEST_F(Unpack, AFolderThatCannotBeMadeAndFailedWritesAreReportedOnce) {
  Put(dir_ + "\\blocker", "a file where the folder should be");
  const std::string path = dir_ + "\\p.exe";
  ExtractRequest r;
  r.destFolder = dir_ + "\\blocker\\out";
  r.settleMs = 0;
  r.messageBox = [this](ExtractBox kind, const std::string& text, const std::string&, const std::string&, int) {
    boxes_.push_back({kind, text});
    return true;
  };
  Put(path, ktest::Package(ktest::StoredBlock(ktest::FileContent("a.txt", "1")) +
                                        ktest::StoredBlock(ktest::FileContent("b.txt", "2")),
                                    2));
  SetupPackage package(path);
  ExtractPackage(package, r);
  ExtractPackage(package, r);
  ASSERT_EQ(boxes_.size(), 3u) << "two folder boxes, one save box for the whole process";
  EXPECT_NE(boxes_[0].text.find(r.destFolder + "<P><P>Unable to create Directory!<P><P>"), std::string::npos);
  EXPECT_NE(boxes_[1].text.find(r.destFolder + "\\a.txt<P><P>Unable to save Extracted File!<P><P>"),
            std::string::npos);
  EXPECT_NE(boxes_[1].text.find("  Data Size: <T>1 Bytes<P>"), std::string::npos);
  EXPECT_EQ(FailedWriteCount(), 4);
}

// The target is always folder + "\\" + name: a leading separator still
// names a file inside the folder.
TEST_F(Unpack, NamesWithALeadingSeparatorLandInsideTheFolder) {
  std::string blocks = ktest::StoredBlock(ktest::FileContent("\\lead.txt", "back")) +
                       ktest::StoredBlock(ktest::FileContent("/sub/lead.txt", "forward")) +
                       ktest::StoredBlock(ktest::FileContent("\\e.exe*/q", "engine"));
  Put(dir_ + "\\t.exe", ktest::Package(blocks, 3));
  ExtractResult r = Extract(dir_ + "\\t.exe");
  EXPECT_TRUE(r.checksumOk);
  EXPECT_FALSE(r.refused);
  EXPECT_EQ(r.engineEntry, "e.exe*/q");
  EXPECT_EQ(ReadWholeFile(Out() + "\\lead.txt"), "back");
  EXPECT_EQ(ReadWholeFile(Out() + "\\sub\\lead.txt"), "forward");
  EXPECT_EQ(ReadWholeFile(Out() + "\\e.exe"), "engine");
}

TEST_F(Unpack, NamesWithForwardSlashesGetTheirFolders) {
  Put(dir_ + "\\t.exe", ktest::Package(ktest::StoredBlock(ktest::FileContent("sub/deeper/f.txt", "in a folder")), 1));
  ExtractResult r = Extract(dir_ + "\\t.exe");
  EXPECT_TRUE(r.checksumOk);
  EXPECT_TRUE(boxes_.empty());
  EXPECT_EQ(ReadWholeFile(Out() + "\\sub\\deeper\\f.txt"), "in a folder");
}

// ---- the agent file ------------------------------------------------------------------

TEST_F(Unpack, TheAgentFileIsTheStubAndHeadersWithTheAgentFlag) {
  PackOrder order;
  order.stubPath = ktest::StubExe();
  order.packageSettings = "|http://u/|app.info|agent.exe|tok|0|";
  order.setPackageEnd = true;
  for (int i = 0; i < 5; ++i) order.files.push_back({In("f" + std::to_string(i), "data"), "f" + std::to_string(i), 0});
  PackResult packed = Pack(order);
  agentName_ = "C:\\somewhere\\agent.exe";
  Put(packed.volumes[0], ReadWholeFile(packed.volumes[0]) + "SIGNATURE");
  ExtractResult r = Extract(packed.volumes[0]);
  ASSERT_TRUE(r.checksumOk);

  const std::string setup = ReadWholeFile(packed.volumes[0]);
  const std::string agent = ReadWholeFile(Out() + "\\agent.exe");
  TGFileInfo info(packed.volumes[0]);
  const size_t firstFileBlock = info.Trailer().PackageStart();
  ASSERT_EQ(agent.size(), firstFileBlock + kTrailerSize);
  std::string expected = setup.substr(0, firstFileBlock);
  expected.replace(kPackageEndLowOffset, 4, std::string(4, '\0'));
  EXPECT_EQ(agent.substr(0, firstFileBlock), expected);

  TGFileInfo a(Out() + "\\agent.exe");
  EXPECT_TRUE(a.IsAgent());
  EXPECT_EQ(a.Trailer().FileCount(), 5u) << "the file count is kept";
  EXPECT_EQ(a.Trailer().Length(), kTrailerSize);
  EXPECT_EQ(a.GetAgentExeName(), "agent.exe");
  EXPECT_EQ(a.Trailer().PackageStart(), firstFileBlock) << "no file blocks follow the headers";
  EXPECT_EQ(FileAge(Out() + "\\agent.exe"), FileAge(packed.volumes[0]));

  // Only setup files (".exe", ".exe.001") write one.
  DeleteTree(Out(), true);
  const std::string other = dir_ + "\\setup.bin";
  Put(other, setup);
  Extract(other);
  EXPECT_FALSE(FileExists(Out() + "\\agent.exe"));
}

// Every write to the agent file fails for real: it is a link to the Unix
// "full" device (a disk that is always full), made when the build is configured
// this program starts. The failure is traced instead of being taken for a
// new agent. (A device cannot be deleted, so the removal of the cut file
// shows nowhere here.)
TEST_F(Unpack, AnAgentFileThatCannotBeWrittenWholeIsReported) {
  const std::string full = ktest::BinaryDir() + "\\disk-full";
  PackOrder order;
  order.packageSettings = "|http://u/|app.info|agent.exe|tok|0|";
  order.files = {{In("f.txt", "data"), "f.txt", 0}};
  PackResult packed = Pack(order);
  SetupPackage package(packed.volumes[0]);
  ExtractRequest r;
  r.destFolder = full;
  r.agentName = "agent.exe";
  r.settleMs = 0;
  CapturedTrace trace;
  ExtractResult res = ExtractPackage(package, r);
  DeleteFileA((full + "\\f.txt").c_str());
  EXPECT_TRUE(res.checksumOk);
  const std::string text = trace.Text();
  EXPECT_NE(text.find(" AU-Agent not written: " + full + "\\agent.exe ("), std::string::npos)
      << text << "(the link is made when the build is configured)";
  EXPECT_EQ(text.find("New AU-Agent"), std::string::npos) << text;
}

// The agent name comes from the package: only its file-name part counts,
// and "/" separates folders for Windows as much as "\\" does.
TEST_F(Unpack, TheAgentNameNeverLeadsOutOfTheFolder) {
  PackOrder order;
  order.files = {{In("f.txt", "data"), "f.txt", 0}};
  PackResult packed = Pack(order);
  const std::string outside[] = {dir_ + "\\escaped.exe", TempDir(true) + "escaped.exe"};
  struct Case {
    const char* agentName;
    const char* written;  // in the destination folder, or nullptr for no agent file
  } cases[] = {
      {"x/../../escaped.exe", "escaped.exe"},
      {"../../escaped.exe", "escaped.exe"},
      {"..", nullptr},
      {"a/..", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.agentName);
    DeleteTree(Out(), true);
    agentName_ = c.agentName;
    ExtractResult r = Extract(packed.volumes[0]);
    EXPECT_TRUE(r.checksumOk);
    for (const std::string& path : outside) {
      EXPECT_FALSE(FileExists(path)) << path;
      DeleteFileA(path.c_str());
    }
    if (c.written) EXPECT_TRUE(TGFileInfo(Out() + "\\" + c.written).IsAgent());
    else EXPECT_EQ(ReadWholeFile(Out() + "\\f.txt"), "data") << "the files are extracted all the same";
  }
}

TEST_F(Unpack, TracesTheFileCountTheDataEndTheAgentAndTheTimeTaken) {
  PackOrder order;
  order.packageSettings = "|http://u/|app.info|agent.exe|tok|0|";
  order.files = {{In("a.txt", "a"), "a.txt", 0}, {In("b.txt", "b"), "b.txt", 0}};
  PackResult packed = Pack(order);
  agentName_ = "agent.exe";
  ktest::CapturedTrace trace;
  ASSERT_TRUE(Extract(packed.volumes[0]).checksumOk);
  const std::string text = trace.Text();
  EXPECT_NE(text.find("FileInfo.FilesCount=2\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("FileLen=" + std::to_string(FileSizeByName(packed.volumes[0])) + "\r\n"), std::string::npos)
      << text;
  EXPECT_NE(text.find(std::to_string(GetCurrentProcessId()) + " New AU-Agent: " + Out() + "\\agent.exe\r\n"),
            std::string::npos)
      << text;
  EXPECT_TRUE(std::regex_search(text, std::regex("\r\nUnCompressTime: [0-9]+ MS\r\n\r\n$"))) << text;
}

}  // namespace
