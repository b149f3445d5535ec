// Release verification over the system's crypto library (CNG) under Wine,
// against releases signed by kpack with OpenSSL (signed_releases.sh makes
// them before this test runs).
#include <windows.h>

#include <gtest/gtest.h>

#include "../support/test_paths.h"
#include "core/Files/file_names.h"
#include "core/PackX/file_info.h"
#include "core/StubAU/release_info.h"
#include "core/Utils/ksub.h"
#include "win/Files/files.h"
#include "win/StubAU/release_cng.h"
#include "win/StubAU/release_verify.h"
#include "win/Utils/ini.h"

using namespace kestro;

namespace {

std::string Fixture(const std::string& rel) { return ktest::BinaryDir() + "\\signed-releases\\" + rel; }

// The release key the setup files of the fixture carry (key A), and key B's.
std::string KeyOf(const std::string& setup) { return TGFileInfo(Fixture(setup)).GetReleaseKey(); }

class ReleaseVerify : public ::testing::Test {
 protected:
  void SetUp() override {
    keyA_ = KeyOf("build3\\Setup.exe");
    ASSERT_FALSE(keyA_.empty()) << "fixture missing: " << Fixture("");
    info2_ = ReadWholeFile(Fixture("r2\\Product.info"));
    sig2_ = ReadWholeFile(Fixture("r2\\Product.info.sig"));
    info3_ = ReadWholeFile(Fixture("r3\\Product.info"));
    sig3_ = ReadWholeFile(Fixture("r3\\Product.info.sig"));
    agent_ = ktest::BinaryDir() + "\\release_verify_test\\" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name() + "\\";
    DeleteTree(agent_, true);
    ASSERT_TRUE(ForceDirectories(agent_));
  }
  std::string Stored() const { return agent_ + "Product.info"; }
  // The downloaded file at `path`, under its own name, against the stored release.
  ReleaseTrust FileTrust(const std::string& key, ReleaseFileKind kind, const std::string& path) const {
    return CheckDownloadedFile(key, Stored(), kind, path, ExtractFileName(path)).trust;
  }
  // The agent of the fixture's product on a day its releases are valid.
  static ReleaseScope Scope() {
    ReleaseScope scope{"", "2026-06-01"};
    EXPECT_TRUE(Sha256OfBytes(ProductBindingText("Product.info", "PRODUCT-1"), scope.product));
    return scope;
  }
  // A copy of a fixture file in the agent's folder, as a download leaves it.
  std::string Download(const std::string& rel, const std::string& name) {
    std::string to = agent_ + name;
    EXPECT_TRUE(CopyFileA(Fixture(rel).c_str(), to.c_str(), FALSE)) << rel;
    return to;
  }

  std::string keyA_, info2_, sig2_, info3_, sig3_, agent_;
};

}  // namespace

TEST_F(ReleaseVerify, SignaturesMadeByOpenSslVerifyUnderCng) {
  ASSERT_TRUE(CngAvailable());
  EXPECT_EQ(CheckInfoSignature(keyA_, info2_, sig2_).trust, ReleaseTrust::kVerified);
  EXPECT_EQ(CheckInfoSignature(keyA_, info3_, sig3_).trust, ReleaseTrust::kVerified);
}

TEST_F(ReleaseVerify, RefusesEveryInfoTheKeyDidNotSign) {
  std::string keyB = SUB::Trim(ReadWholeFile(Fixture("B.pub")));  // not an item: a damaged key
  std::string flippedSig = sig3_;
  flippedSig[flippedSig.size() - 3] ^= 0x01;
  std::string flippedInfo = info3_;
  flippedInfo[flippedInfo.size() / 2] ^= 0x01;
  struct Case { const char* what; std::string key, info, sig; } cases[] = {
      {"signed by another key", keyA_, info3_, ReadWholeFile(Fixture("r3b\\Product.info.sig"))},
      {"no signature file", keyA_, info3_, ""},
      {"one flipped bit in the signature", keyA_, info3_, flippedSig},
      {"one flipped bit in the text", keyA_, flippedInfo, sig3_},
      {"version edited", keyA_, SUB::ReplaceText(info3_, "VersionNew=3", "VersionNew=4"), sig3_},
      {"file name edited", keyA_, SUB::ReplaceText(info3_, "NameOfUpdateFile=Setup.exe", "NameOfUpdateFile=x.exe"), sig3_},
      {"process edited", keyA_, SUB::ReplaceText(info3_, "\\Product.exe", "\\cmd.exe"), sig3_},
      {"link edited", keyA_, SUB::ReplaceText(info3_, "http://127.0.0.1/download", "http://evil/"), sig3_},
      {"another release's signature", keyA_, info2_, sig3_},
      {"damaged key item", keyA_.substr(0, 100), info3_, sig3_},
      {"a PEM where the item belongs", keyB, info3_, sig3_},
  };
  for (const Case& c : cases) {
    ReleaseCheck check = CheckInfoSignature(c.key, c.info, c.sig);
    EXPECT_EQ(check.trust, ReleaseTrust::kRefused) << c.what;
    EXPECT_FALSE(check.reason.empty()) << c.what;
  }
}

TEST_F(ReleaseVerify, AgentWithoutAKeyGoesOnUnsigned) {
  EXPECT_EQ(CheckInfoSignature("", info3_, "").trust, ReleaseTrust::kUnsigned);
  EXPECT_EQ(CheckInfoSignature("", "anything", "x").reason, kUnsignedReleaseLog);
  std::string setup = Download("build2\\Setup.exe", "Setup.exe");
  EXPECT_EQ(FileTrust("", ReleaseFileKind::kUpdate, setup), ReleaseTrust::kUnsigned);
}

TEST_F(ReleaseVerify, DownloadedFilesMustBeTheSignedOnes) {
  ASSERT_TRUE(StoreVerifiedInfo(Stored(), info3_, sig3_));
  EXPECT_EQ(ReadWholeFile(SignatureFileName(Stored())), sig3_);
  std::string setup = Download("r3\\Setup.exe", "Setup.exe");
  ASSERT_GT(FileSizeByName(setup), 3 << 16);  // read by CNG in several 64 KB pieces
  EXPECT_EQ(FileTrust(keyA_, ReleaseFileKind::kUpdate, setup), ReleaseTrust::kVerified);
  std::string news = Download("r3\\News.txt", "News.txt");
  EXPECT_EQ(FileTrust(keyA_, ReleaseFileKind::kInform, news), ReleaseTrust::kVerified);

  // One flipped byte in the middle of the UPDATE file.
  std::string bytes = ReadWholeFile(setup);
  bytes[bytes.size() / 2] ^= 0x20;
  ASSERT_TRUE(WriteTextToFile(agent_ + "Setup.exe", bytes));
  EXPECT_EQ(FileTrust(keyA_, ReleaseFileKind::kUpdate, setup), ReleaseTrust::kRefused);
  // Mix-and-match: the UPDATE file of release 2 under the signed text of release 3.
  Download("r2\\Setup.exe", "Setup.exe");
  EXPECT_EQ(FileTrust(keyA_, ReleaseFileKind::kUpdate, setup), ReleaseTrust::kRefused);
  // The INFORM file where the UPDATE file was named.
  EXPECT_EQ(FileTrust(keyA_, ReleaseFileKind::kUpdate, news), ReleaseTrust::kRefused);
  // A stored text edited after it was stored is not trusted for its hashes.
  Download("r3\\Setup.exe", "Setup.exe");
  ASSERT_TRUE(WriteTextToFile(Stored(), info3_ + " "));
  EXPECT_EQ(FileTrust(keyA_, ReleaseFileKind::kUpdate, setup), ReleaseTrust::kRefused);
}

TEST_F(ReleaseVerify, OlderSignedReleasesReplayedChangeNothing) {
  ASSERT_TRUE(StoreVerifiedInfo(Stored(), info3_, sig3_));
  struct Case { const char* what; std::string info, sig; int32_t installed; ReleaseTrust trust; } cases[] = {
      {"release 2 after 3 was installed", info2_, sig2_, 3, ReleaseTrust::kRefused},
      {"release 2 after 3 was stored", info2_, sig2_, 2, ReleaseTrust::kRefused},
      {"release 3 served again", info3_, sig3_, 3, ReleaseTrust::kVerified},
      {"release 3 while 2 is installed", info3_, sig3_, 2, ReleaseTrust::kVerified},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CheckNewInfo(keyA_, c.info, c.sig, Scope(), c.installed, Stored()).trust, c.trust) << c.what;
  // A stored text that does not verify cannot hold the agent back.
  ASSERT_TRUE(StoreVerifiedInfo(Stored(), SUB::ReplaceText(info3_, "VersionNew=3", "VersionNew=999"), sig3_));
  EXPECT_EQ(CheckNewInfo(keyA_, info2_, sig2_, Scope(), 2, Stored()).trust, ReleaseTrust::kVerified);
  // Storing an unsigned text removes an old signature file.
  ASSERT_TRUE(StoreVerifiedInfo(Stored(), info2_, ""));
  EXPECT_FALSE(FileExists(SignatureFileName(Stored())));
}

TEST_F(ReleaseVerify, PublishedInfoReadsTheSameThroughTheProfileReader) {
  std::string path = Download("r3\\Product.info", "Product.info");
  std::string section;
  int keys = 0;
  for (const std::string& raw : SUB::Items("\n" + SUB::ReplaceText(info3_, "\r", ""))) {
    if (raw.empty()) continue;
    if (raw[0] == '[') {
      section = raw.substr(1, raw.size() - 2);
      continue;
    }
    std::string key = SUB::TextBefore(raw, "=");
    bool found = false;
    std::string expected = IniTextValue(info3_, section, key, found);
    EXPECT_TRUE(found) << key;
    EXPECT_EQ(ReadIniString(path, section, key, "(default)"), expected.empty() ? "(default)" : expected) << key;
    ++keys;
  }
  EXPECT_EQ(keys, 28);
}
