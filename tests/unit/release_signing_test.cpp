// Signed releases: kpack keygen and publish against the agent's own readers,
// and the byte forms the stub hands to the system's crypto library, checked
// here with OpenSSL (the CNG calls themselves run under Wine).
#include <gtest/gtest.h>
#include <openssl/ecdsa.h>
#include <openssl/evp.h>
#include <openssl/sha.h>
#include <openssl/x509.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <random>

#include "../support/package_bytes.h"
#include "../support/tool_run.h"
#include "core/PackX/file_info.h"
#include "core/StubAU/info_writer.h"
#include "core/StubAU/release_info.h"
#include "core/StubAU/release_key.h"
#include "core/StubAU/release_signature.h"
#include "core/Utils/ksub.h"

using namespace kestro;
using ktest::ReadBytes;
using ktest::RunResult;
using ktest::WriteBytes;
namespace fs = std::filesystem;

namespace {

// ---- OpenSSL on the stub's byte forms ---------------------------------------------------

std::string Sha256(const std::string& bytes) {
  unsigned char md[SHA256_DIGEST_LENGTH];
  SHA256(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), md);
  return std::string(reinterpret_cast<char*>(md), sizeof md);
}

EVP_PKEY* KeyFromPoint(const P256Point& point) {
  static const uint8_t kPrefix[] = {0x30, 0x59, 0x30, 0x13, 0x06, 0x07, 0x2A, 0x86, 0x48, 0xCE, 0x3D, 0x02, 0x01,
                                    0x06, 0x08, 0x2A, 0x86, 0x48, 0xCE, 0x3D, 0x03, 0x01, 0x07, 0x03, 0x42, 0x00};
  std::string der(reinterpret_cast<const char*>(kPrefix), sizeof kPrefix);
  der.append(reinterpret_cast<const char*>(point.data()), point.size());
  const unsigned char* p = reinterpret_cast<const unsigned char*>(der.data());
  return d2i_PUBKEY(nullptr, &p, long(der.size()));
}

// DER again from the raw r||s the stub verifies.
std::string DerFromRaw(const RawSignature& raw) {
  ECDSA_SIG* sig = ECDSA_SIG_new();
  ECDSA_SIG_set0(sig, BN_bin2bn(raw.data(), 32, nullptr), BN_bin2bn(raw.data() + 32, 32, nullptr));
  unsigned char* der = nullptr;
  int len = i2d_ECDSA_SIG(sig, &der);
  std::string out(reinterpret_cast<char*>(der), size_t(len));
  OPENSSL_free(der);
  ECDSA_SIG_free(sig);
  return out;
}

// What the stub decides, with OpenSSL in CNG's place: the key item's point
// and the raw signature must verify the data.
bool VerifiesLikeTheStub(const std::string& keyItem, const std::string& data, const std::string& sigFile) {
  std::optional<P256Point> point = ParseReleaseKeyItem(keyItem);
  std::optional<RawSignature> raw = DerSignatureToRaw(sigFile);
  if (!point || !raw) return false;
  EVP_PKEY* key = KeyFromPoint(*point);
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  std::string der = DerFromRaw(*raw);
  bool ok = key && EVP_DigestVerifyInit(ctx, nullptr, EVP_sha256(), nullptr, key) == 1 &&
            EVP_DigestVerify(ctx, reinterpret_cast<const unsigned char*>(der.data()), der.size(),
                             reinterpret_cast<const unsigned char*>(data.data()), data.size()) == 1;
  EVP_MD_CTX_free(ctx);
  EVP_PKEY_free(key);
  return ok;
}

std::string Hex(size_t bytes, char digit) { return std::string(bytes * 2, digit); }

}  // namespace

// ---- the key item and the signature's byte form -------------------------------------------

TEST(ReleaseKeyItem, ReadsOnlyAPrefixedUncompressedPoint) {
  const std::string point = "04" + Hex(64, 'A');
  struct Case { std::string item; bool ok; } cases[] = {
      {"P256:" + point, true},
      {"P256:" + SUB::Lower(point), true},
      {"p256:" + point, false},                    // prefix is exact
      {point, false},                              // no prefix
      {"P256:02" + Hex(32, 'A'), false},           // compressed point
      {"P256:03" + Hex(64, 'A'), false},           // wrong first byte
      {"P256:" + point + "00", false},             // too long
      {"P256:" + point.substr(2), false},          // too short
      {"P256:" + point.substr(0, 129) + "G", false},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseReleaseKeyItem(c.item).has_value(), c.ok) << c.item;
  P256Point p = *ParseReleaseKeyItem("P256:" + point);
  EXPECT_EQ(FormatReleaseKeyItem(p), "P256:" + point);
}

TEST(ReleaseKeyItem, BlobIsTheEcs1HeaderThenXAndY) {
  P256Point p;
  for (size_t i = 0; i < p.size(); ++i) p[i] = uint8_t(i);
  std::string blob = EccPublicBlob(p);
  ASSERT_EQ(blob.size(), 8u + 64u);
  EXPECT_EQ(blob.substr(0, 8), std::string("ECS1\x20\0\0\0", 8));
  EXPECT_EQ(blob.substr(8), std::string(reinterpret_cast<char*>(p.data()) + 1, 64));
}

TEST(ReleaseSignature, RawFormOfOpenSslSignaturesConvertsBackExactly) {
  EVP_PKEY* key = EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256");
  ASSERT_NE(key, nullptr);
  size_t shortForms = 0;
  // Until r or s was shorter than 32 bytes (1 in 128 signatures): the padding path.
  for (int i = 0; i < 200 || (shortForms == 0 && i < 5000); ++i) {
    std::string data = "message " + std::to_string(i), der(80, '\0');
    size_t len = der.size();
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    ASSERT_EQ(EVP_DigestSignInit(ctx, nullptr, EVP_sha256(), nullptr, key), 1);
    ASSERT_EQ(EVP_DigestSign(ctx, reinterpret_cast<unsigned char*>(&der[0]), &len,
                             reinterpret_cast<const unsigned char*>(data.data()), data.size()), 1);
    EVP_MD_CTX_free(ctx);
    der.resize(len);
    shortForms += len < 70;
    std::optional<RawSignature> raw = DerSignatureToRaw(der);
    ASSERT_TRUE(raw) << i;
    EXPECT_EQ(DerFromRaw(*raw), der) << i;
  }
  EXPECT_GT(shortForms, 0u);
  EVP_PKEY_free(key);
}

TEST(ReleaseSignature, RefusesEveryNonStrictForm) {
  const std::string r = "\x02\x20" + std::string(32, '\x11'), s = "\x02\x20" + std::string(32, '\x22');
  auto seq = [](const std::string& body) { return "\x30" + std::string(1, char(body.size())) + body; };
  ASSERT_TRUE(DerSignatureToRaw(seq(r + s)));
  ASSERT_TRUE(DerSignatureToRaw(seq(std::string("\x02\x21\x00\x80", 4) + std::string(31, '\x01') + s)));
  const std::string cases[] = {
      seq(r + s) + std::string(1, '\0'),                                 // trailing byte
      seq(r),                                                            // one integer
      seq(r + s + r),                                                    // three
      "\x31" + seq(r + s).substr(1),                                     // not a sequence
      std::string("\x30\x81\x44", 3) + r + s,                            // long length
      seq(std::string("\x02\x20\x80", 3) + std::string(31, '\x01') + s),  // negative r
      seq(std::string("\x02\x21\x00\x11", 4) + std::string(31, '\x01') + s),  // padded without need
      seq(std::string("\x02\x21\x01", 3) + std::string(32, '\x01') + s),     // 33 bytes
      seq(std::string("\x02\x01\x00", 3) + s),                           // r = 0
      seq(std::string("\x02\x00", 2) + s),                               // empty integer
      seq(r + "\x04\x20" + std::string(32, '\x22')),                     // wrong tag
      seq(r + s).substr(0, 40),                                          // cut short
      "",
  };
  for (const std::string& c : cases) EXPECT_FALSE(DerSignatureToRaw(c)) << SUB::HexEncode(c);
}

// ---- reading a ".INFO" text as the profile reader does ------------------------------------

TEST(ReleaseInfoText, ReadsLikeTheProfileReader) {
  const std::string text =
      "; comment\r\n[newsetup]\r\n  VersionNew = 7  \r\nName=\"quoted\"\r\nOne='x'\r\nBare\r\n"
      "[Other]\r\nVersionNew=1\r\n[NewSetup]\r\nStamp=5\r\nVersionNew=9\r\n";
  struct Case { const char* section; const char* key; const char* value; bool found; } cases[] = {
      {"NewSetup", "versionnew", "7", true},  // first section of the name, any case
      {"NewSetup", "Name", "quoted", true},   // one pair of quotes dropped
      {"NewSetup", "One", "x", true},
      {"NewSetup", "Stamp", "", false},       // only in a second [NewSetup]
      {"NewSetup", "Bare", "", false},
      {"Other", "VersionNew", "1", true},
      {"Missing", "VersionNew", "", false},
  };
  for (const Case& c : cases) {
    bool found = true;
    EXPECT_EQ(IniTextValue(text, c.section, c.key, found), c.value) << c.key;
    EXPECT_EQ(found, c.found) << c.key;
  }
}

// ---- rollback and file rules ----------------------------------------------------------------

TEST(ReleaseRules, OlderReleasesNeverReplaceNewerOnes) {
  auto facts = [](int32_t version, int32_t stamp) {
    ReleaseFacts f;
    f.versionNew = version;
    f.stamp = stamp;
    return f;
  };
  const ReleaseFacts stored = facts(5, 100);
  struct Case { ReleaseFacts candidate; int32_t installed; const ReleaseFacts* stored; bool refused; } cases[] = {
      {facts(6, 1), 5, &stored, false},    // newer version, any stamp
      {facts(5, 100), 5, &stored, false},  // the same release served again
      {facts(5, 101), 5, &stored, false},  // a new stamp of the same release
      {facts(5, 99), 5, &stored, true},    // an older stamp replayed
      {facts(4, 999), 4, &stored, true},   // older than the stored release
      {facts(4, 999), 5, nullptr, true},   // older than installed, nothing stored
      {facts(5, 0), 5, nullptr, false},
      {facts(-1, 0), 0, nullptr, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(!RollbackRefusal(c.candidate, c.installed, c.stored).empty(), c.refused)
        << c.candidate.versionNew << "/" << c.candidate.stamp;
}

TEST(ReleaseRules, DownloadedFileMustBeTheSignedOneExactly) {
  const std::string body = "MZ the setup", other = "MZ the setup of another release";
  ReleaseFile signed_{"Setup.exe", int64_t(body.size()), Sha256(body)};
  std::string flipped = body;
  flipped[3] ^= 1;
  ReleaseFile noHash = signed_;
  noHash.sha256.clear();
  struct Case { ReleaseFile expected; std::string path, bytes; bool ok; } cases[] = {
      {signed_, "C:\\agent\\Setup.exe", body, true},
      {signed_, "C:\\agent\\SETUP.EXE", body, true},
      {signed_, "C:\\agent\\Setup.exe", flipped, false},      // one flipped bit
      {signed_, "C:\\agent\\Setup.exe", body + "x", false},   // one byte more
      {signed_, "C:\\agent\\Setup.exe", other, false},        // another release's file
      {signed_, "C:\\agent\\Other.exe", body, false},         // not the named file
      {noHash, "C:\\agent\\Setup.exe", body, false},          // no hash signed
  };
  for (const Case& c : cases)
    EXPECT_EQ(FileRefusal(c.expected, c.path, c.bytes.size(), Sha256(c.bytes)).empty(), c.ok) << c.path;
}

// ---- kpack keygen, --public-key and publish ---------------------------------------------------

class ReleaseTool : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(KESTRO_BINARY_DIR) / "release_signing_test" /
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    WriteBytes(dir_ / "stub.exe", ktest::TinyStub());
    WriteBytes(dir_ / "in" / "setup.exe", "MZ engine " + std::string(70000, 'e'));
    WriteBytes(dir_ / "News.txt", "|token|x|y|<B>New</B> release");
    ASSERT_EQ(Kpack({"keygen", Path("A")}).code, 0);
    ASSERT_EQ(Kpack({"keygen", Path("B")}).code, 0);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  static RunResult Kpack(const std::vector<std::string>& args) {
    return ktest::RunTool(std::string(KESTRO_BINARY_DIR) + "/tools/kpack/kpack", args);
  }
  RunResult PackSetup(const std::string& out, std::vector<std::string> extra) {
    std::vector<std::string> args = {"--stub", Path("stub.exe"), "--out", Path(out), "--dir", Path("in"),
                                     "--engine", "setup.exe", "--update-url", "http://127.0.0.1:8080/product",
                                     "--info-file", "Product.info", "--agent-name", "Agent.exe", "--creates-agent"};
    args.insert(args.end(), extra.begin(), extra.end());
    return Kpack(args);
  }
  RunResult Publish(const std::string& key, const std::string& out, std::vector<std::string> extra) {
    std::vector<std::string> args = {"publish", "--key", Path(key), "--out", Path(out), "--update", Path("Setup.exe")};
    args.insert(args.end(), extra.begin(), extra.end());
    return Kpack(args);
  }
  std::string KeyItem(const std::string& pub) {
    P256Point p;
    EXPECT_EQ(PointFromPublicKeyPem(ReadBytes(dir_ / pub), p), "");
    return FormatReleaseKeyItem(p);
  }

  fs::path dir_;
};

TEST_F(ReleaseTool, KeygenWritesAPrivateKeyOnlyItsOwnerReadsAndNeverOverwrites) {
  struct stat st {};
  ASSERT_EQ(stat(Path("A.key").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_NE(ReadBytes(dir_ / "A.key").find("BEGIN PRIVATE KEY"), std::string::npos);
  std::string before = ReadBytes(dir_ / "A.key");
  RunResult again = Kpack({"keygen", Path("A")});
  EXPECT_EQ(again.code, 1);
  EXPECT_NE(again.output.find("never overwritten"), std::string::npos);
  EXPECT_EQ(ReadBytes(dir_ / "A.key"), before);
  // The public half is what OpenSSL derives from the private key.
  RunResult derived = ktest::RunTool("openssl", {"pkey", "-in", Path("A.key"), "-pubout"});
  ASSERT_EQ(derived.code, 0);
  EXPECT_EQ(derived.output, ReadBytes(dir_ / "A.pub"));
  EXPECT_NE(KeyItem("A.pub"), KeyItem("B.pub"));
}

TEST_F(ReleaseTool, PackageCarriesTheKeyOnlyWhenAsked) {
  ASSERT_EQ(PackSetup("plain.exe", {}).code, 0);
  ASSERT_EQ(PackSetup("keyed.exe", {"--public-key", Path("A.pub")}).code, 0);
  TGFileInfo plain(Path("plain.exe")), keyed(Path("keyed.exe"));
  // Without a key the settings are the five items they always were.
  EXPECT_EQ(plain.PackageSettings(), "|http://127.0.0.1:8080/product|Product.info|Agent.exe||0|");
  EXPECT_EQ(plain.GetReleaseKey(), "");
  EXPECT_EQ(keyed.PackageSettings(), plain.PackageSettings() + KeyItem("A.pub") + "|");
  EXPECT_EQ(keyed.GetReleaseKey(), KeyItem("A.pub"));
  EXPECT_EQ(keyed.GetAgentExeName(), "Agent.exe");
  EXPECT_TRUE(keyed.IsHiddenByDefault() == plain.IsHiddenByDefault());
  EXPECT_NE(Kpack({"--info", Path("keyed.exe")}).output.find(KeyItem("A.pub")), std::string::npos);
  // The private key is never packed.
  RunResult priv = PackSetup("bad.exe", {"--public-key", Path("A.key")});
  EXPECT_EQ(priv.code, 2);
  EXPECT_NE(priv.output.find("a private key is never packed"), std::string::npos);
}

TEST_F(ReleaseTool, PublishedFolderVerifiesAndReadsBackThroughTheAgentsRules) {
  ASSERT_EQ(PackSetup("Setup.exe", {"--public-key", Path("A.pub")}).code, 0);
  WriteBytes(dir_ / "release.ini",
             "[NewSetup]\nProgramName=Product\nRunningProcess=<TargetDir>\\Product.exe\n"
             "ShutDownMethod=Using WM_CLOSE\nRestartProcess=1\n[AutoInform]\nDownloadURL_INFORM=http://example/dl\n");
  RunResult r = Publish("A.key", "site", {"--inform", Path("News.txt"), "--version", "7", "--stamp", "42",
                                          "--settings", Path("release.ini")});
  ASSERT_EQ(r.code, 0) << r.output;
  const std::string info = ReadBytes(dir_ / "site" / "Product.info");
  const std::string sig = ReadBytes(dir_ / "site" / "Product.info.sig");
  EXPECT_EQ(ReadBytes(dir_ / "site" / "Setup.exe"), ReadBytes(dir_ / "Setup.exe"));
  EXPECT_EQ(ReadBytes(dir_ / "site" / "News.txt"), ReadBytes(dir_ / "News.txt"));

  EXPECT_TRUE(VerifiesLikeTheStub(KeyItem("A.pub"), info, sig));
  EXPECT_FALSE(VerifiesLikeTheStub(KeyItem("B.pub"), info, sig));
  RunResult cli = ktest::RunTool("openssl", {"dgst", "-sha256", "-verify", Path("A.pub"), "-signature",
                                             Path("site/Product.info.sig"), Path("site/Product.info")});
  EXPECT_EQ(cli.code, 0) << cli.output;

  ReleaseFacts f = ReadReleaseFacts(info);
  const std::string setup = ReadBytes(dir_ / "Setup.exe"), news = ReadBytes(dir_ / "News.txt");
  EXPECT_EQ(f.versionNew, 7);
  EXPECT_EQ(f.stamp, 42);
  EXPECT_EQ(FileRefusal(f.update, "Setup.exe", setup.size(), Sha256(setup)), "");
  EXPECT_EQ(FileRefusal(f.inform, "News.txt", news.size(), Sha256(news)), "");
  struct Key { const char* section; const char* key; std::string value; } keys[] = {
      {"NewSetup", "DownloadURL_UPDATE", "http://127.0.0.1:8080/product"},  // the setup's own folder
      {"NewSetup", "SizeOfUpdateFile", std::to_string(setup.size())},
      {"NewSetup", "RunningProcess", "<TargetDir>\\Product.exe"},
      {"NewSetup", "ShutDownMethod", "Using WM_CLOSE"},
      {"NewSetup", "RequestConfirmationBeforeInstall", "0"},
      {"General", "AutoInform", "0"},
      {"AutoInform", "DownloadURL_INFORM", "http://example/dl"},
      {"AutoInform", "AutoInformW", "360"},
      {"Integrity", "SHA256OfUpdateFile", SUB::HexEncode(Sha256(setup))},
  };
  for (const Key& k : keys) {
    bool found = false;
    EXPECT_EQ(IniTextValue(info, k.section, k.key, found), k.value) << k.key;
    EXPECT_TRUE(found) << k.key;
  }
}

TEST_F(ReleaseTool, AnyEditAfterSigningBreaksTheSignature) {
  ASSERT_EQ(PackSetup("Setup.exe", {"--public-key", Path("A.pub")}).code, 0);
  WriteBytes(dir_ / "release.ini", "[NewSetup]\nRunningProcess=Product.exe\n[AutoInform]\nDownloadURL_INFORM=http://a/\n");
  ASSERT_EQ(Publish("A.key", "site", {"--version", "7", "--settings", Path("release.ini")}).code, 0);
  const std::string info = ReadBytes(dir_ / "site" / "Product.info");
  const std::string sig = ReadBytes(dir_ / "site" / "Product.info.sig");
  ASSERT_TRUE(VerifiesLikeTheStub(KeyItem("A.pub"), info, sig));
  struct Edit { const char* from; const char* to; } edits[] = {
      {"VersionNew=7", "VersionNew=8"},
      {"NameOfUpdateFile=Setup.exe", "NameOfUpdateFile=Evil.exe"},
      {"RunningProcess=Product.exe", "RunningProcess=explorer.exe"},
      {"DownloadURL_INFORM=http://a/", "DownloadURL_INFORM=http://b/"},
      {"\r\n[General]", "\n[General]"},
  };
  for (const Edit& e : edits) {
    std::string edited = SUB::ReplaceText(info, e.from, e.to);
    ASSERT_NE(edited, info) << e.from;
    EXPECT_FALSE(VerifiesLikeTheStub(KeyItem("A.pub"), edited, sig)) << e.to;
  }
  std::string flippedSig = sig;
  flippedSig[10] ^= 1;
  EXPECT_FALSE(VerifiesLikeTheStub(KeyItem("A.pub"), info, flippedSig));
  EXPECT_FALSE(VerifiesLikeTheStub(KeyItem("A.pub"), info, ""));
}

TEST_F(ReleaseTool, PublishRefusesWhatTheAgentWouldNotReadAsWritten) {
  ASSERT_EQ(PackSetup("Setup.exe", {}).code, 0);
  struct Case { std::string settings; std::vector<std::string> extra; const char* message; } cases[] = {
      {"[NewSetup]\nVersionNew=9\n", {}, "filled in from the release's files"},
      {"[NewSetup]\nShutdownMethod=Using WM_QUIT\nShutDownMethod=Using WM_CLOSE\n", {}, "given twice"},
      {"[NewSetup]\nProgramName=\"Product\"\n", {}, "would not read back"},
      {"[NewSetup]\nNoSuchKey=1\n", {}, "is not a key of the .INFO file"},
      {"[Integrity]\nSHA256OfUpdateFile=00\n", {}, "filled in"},
      {"[General]\nAutoInform=01\n", {}, "AutoInform=1 needs an INFORM file"},
      {"", {"--version", "0"}, "positive 32-bit number"},
      {"", {"--info-name", "..\\x.info"}, "no .INFO file name"},
  };
  for (const Case& c : cases) {
    WriteBytes(dir_ / "release.ini", c.settings);
    std::vector<std::string> args = c.extra;
    if (args.empty() || args[0] != "--version") args.insert(args.begin(), {"--version", "3"});
    args.insert(args.end(), {"--settings", Path("release.ini")});
    RunResult r = Publish("A.key", "site", args);
    EXPECT_EQ(r.code, 1) << c.settings;
    EXPECT_NE(r.output.find(c.message), std::string::npos) << r.output;
    EXPECT_FALSE(fs::exists(dir_ / "site" / "Product.info")) << c.settings;
  }
}

TEST_F(ReleaseTool, PublishNotesASetupThatCarriesNoOrAnotherKey) {
  ASSERT_EQ(PackSetup("Setup.exe", {}).code, 0);
  EXPECT_NE(Publish("A.key", "s1", {"--version", "2"}).output.find("carries no release key"), std::string::npos);
  ASSERT_EQ(PackSetup("Setup.exe", {"--public-key", Path("B.pub")}).code, 0);
  EXPECT_NE(Publish("A.key", "s2", {"--version", "2"}).output.find("another release key"), std::string::npos);
  EXPECT_EQ(Publish("B.key", "s3", {"--version", "2"}).output.find("note"), std::string::npos);
}
