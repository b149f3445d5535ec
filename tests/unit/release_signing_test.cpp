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
#include <ctime>
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

TEST(ReleaseRules, ASignedReleaseIsActedOnOnlyByItsOwnProductAndUntilItExpires) {
  const std::string product = Sha256(ProductBindingText("Product.info", "PRODUCT-1"));
  const ReleaseScope here{product, "2027-03-15"};
  // What kpack publish writes, and an older kpack's release without any of it.
  const std::string bound = "[Integrity]\r\nSHA256OfProduct=" + SUB::HexEncode(product) + "\r\nExpires=\r\n";
  const auto with = [&](const std::string& from, const std::string& to) { return SUB::ReplaceText(bound, from, to); };
  const auto boundTo = [&](const char* info, const char* token) {
    return with(SUB::HexEncode(product), SUB::HexEncode(Sha256(ProductBindingText(info, token))));
  };
  const ReleaseFacts boundStored = ReadReleaseFacts(bound);
  const ReleaseFacts unboundStored = ReadReleaseFacts("[NewSetup]\r\nVersionNew=1\r\n");
  struct Case { const char* what; std::string info; const ReleaseFacts* stored; const char* refusal; } cases[] = {
      {"this product's", bound, nullptr, nullptr},
      {"the .INFO name in other case", boundTo("PRODUCT.INFO", "PRODUCT-1"), nullptr, nullptr},
      {"another product's .INFO name", boundTo("Other.info", "PRODUCT-1"), nullptr, "another product"},
      {"another product's token", boundTo("Product.info", "PRODUCT-2"), nullptr, "another product"},
      {"a digest cut short", with(SUB::HexEncode(product), SUB::HexEncode(product).substr(2)), nullptr,
       "another product"},
      {"an empty binding", with(SUB::HexEncode(product), ""), nullptr, "another product"},
      {"older kpack, nothing stored", "[NewSetup]\r\nVersionNew=2\r\n", nullptr, nullptr},
      {"older kpack after an older one", "[NewSetup]\r\nVersionNew=2\r\n", &unboundStored, nullptr},
      {"older kpack after a bound one", "[NewSetup]\r\nVersionNew=2\r\n", &boundStored, "names no product"},
      {"expires today", with("Expires=", "Expires=2027-03-15"), nullptr, nullptr},
      {"expires later", with("Expires=", "Expires=2028-01-01"), nullptr, nullptr},
      {"expired yesterday", with("Expires=", "Expires=2027-03-14"), nullptr, "expired on 2027-03-14"},
      {"expired last year", with("Expires=", "Expires=2026-12-31"), nullptr, "expired"},
      {"an expiry that is no date", with("Expires=", "Expires=2027-3-15"), nullptr, "is no date"},
      {"an expiry in words", with("Expires=", "Expires=never"), nullptr, "is no date"},
  };
  for (const Case& c : cases) {
    const std::string why = ScopeRefusal(ReadReleaseFacts(c.info), here, c.stored);
    if (!c.refusal) EXPECT_EQ(why, "") << c.what;
    else EXPECT_NE(why.find(c.refusal), std::string::npos) << c.what << ": " << why;
  }
}

TEST(ReleaseRules, ExpiryDatesHaveOneFormThatComparesAsText) {
  for (const char* good : {"2027-01-31", "2028-02-29", "2027-12-31", "2027-10-01"}) EXPECT_TRUE(IsIsoDate(good)) << good;
  for (const char* bad : {"", "2027-13-01", "2027-00-10", "2027-01-00", "2027-01-32", "2027/01/31", "27-01-31",
                          "2027-1-31", "2027-01-31Z", "2O27-01-31", " 2027-01-3"})
    EXPECT_FALSE(IsIsoDate(bad)) << bad;
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
    RunResult token = Kpack({"--scramble", "PRODUCT-1"});
    ASSERT_EQ(token.code, 0);
    WriteBytes(dir_ / "News.txt", "|" + SUB::Trim(token.output) + "|x|y|<B>New</B> release");
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
                                     "--info-file", "Product.info", "--agent-name", "Agent.exe", "--creates-agent",
                                     "--product-token", "PRODUCT-1"};
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
  ASSERT_EQ(PackSetup("plain.exe", {"--unsigned-agent"}).code, 0);
  ASSERT_EQ(PackSetup("keyed.exe", {"--public-key", Path("A.pub")}).code, 0);
  TGFileInfo plain(Path("plain.exe")), keyed(Path("keyed.exe"));
  // Without a key the settings are the five items they always were.
  EXPECT_EQ(plain.PackageSettings(), "|http://127.0.0.1:8080/product|Product.info|Agent.exe|" +
                                         plain.GetProductToken(false) + "|0|");
  EXPECT_EQ(plain.GetReleaseKey(), "");
  EXPECT_EQ(keyed.PackageSettings(), "|http://127.0.0.1:8080/product|Product.info|Agent.exe|" +
                                         keyed.GetProductToken(false) + "|0|" + KeyItem("A.pub") + "|");
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
  ASSERT_EQ(PackSetup("Setup.exe", {"--public-key", Path("A.pub")}).code, 0);
  struct Case { std::string settings; std::vector<std::string> extra; const char* message; } cases[] = {
      {"[NewSetup]\nVersionNew=9\n", {}, "filled in from the release's files"},
      {"[NewSetup]\nShutdownMethod=Using WM_QUIT\nShutDownMethod=Using WM_CLOSE\n", {}, "given twice"},
      {"[NewSetup]\nProgramName=\"Product\"\n", {}, "would not read back"},
      {"[NewSetup]\nNoSuchKey=1\n", {}, "is not a key of the .INFO file"},
      {"[Integrity]\nSHA256OfUpdateFile=00\n", {}, "filled in"},
      {"[General]\nAutoInform=01\n", {}, "AutoInform=1 needs an INFORM file"},
      {"", {"--version", "0"}, "positive 32-bit number"},
      {"", {"--info-name", "..\\x.info"}, "no .INFO file name"},
      {"", {"--expires", "2027-02-30"}, "--expires needs a date"},
      {"", {"--expires", "2027-04-31"}, "--expires needs a date"},
      {"", {"--expires", "soon"}, "--expires needs a date"},
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

TEST_F(ReleaseTool, AnAgentIsPackedOnlyWithAKeyOrUnsignedOnPurpose) {
  struct Case { std::vector<std::string> extra; int code; const char* says; } cases[] = {
      {{}, 2, "an agent without a release key runs whatever its update server sends"},
      {{"--unsigned-agent"}, 0, "warning: the agent is unsigned"},
      {{"--public-key", Path("A.pub")}, 0, ""},
      {{"--public-key", Path("A.pub"), "--unsigned-agent"}, 2, "contradict each other"},
  };
  for (const char* agentFlag : {"--creates-agent", "--agent"}) {
    for (const Case& c : cases) {
      fs::remove(Path("agent.exe"));
      std::vector<std::string> args = {"--stub", Path("stub.exe"), "--out", Path("agent.exe"), agentFlag,
                                       "--update-url", "http://u/", "--info-file", "Product.info",
                                       "--product-token", "PRODUCT-1"};
      args.insert(args.end(), c.extra.begin(), c.extra.end());
      RunResult r = Kpack(args);
      const std::string what = std::string(agentFlag) + " " + (c.extra.empty() ? "" : c.extra.back());
      EXPECT_EQ(r.code, c.code) << what << ": " << r.output;
      EXPECT_NE(r.output.find(c.says), std::string::npos) << what << ": " << r.output;
      const bool warns = std::string(c.says).find("warning") != std::string::npos;
      EXPECT_EQ(r.output.find("warning") != std::string::npos, warns) << what << ": " << r.output;
      EXPECT_EQ(fs::exists(Path("agent.exe")), c.code == 0) << what;
    }
  }
  // A setup that writes no agent needs no key.
  RunResult plain = Kpack({"--stub", Path("stub.exe"), "--out", Path("plain.exe"), "--dir", Path("in")});
  EXPECT_EQ(plain.code, 0) << plain.output;
  EXPECT_EQ(plain.output.find("warning"), std::string::npos) << plain.output;
}

TEST_F(ReleaseTool, PublishRefusesASetupThatChangesTheAgentsKeyUnlessTold) {
  struct Case {
    const char* setupKey;  // the key the UPDATE setup's agents carry ("" none)
    std::vector<std::string> extra;
    int code;
    const char* says;
  } cases[] = {
      {"A", {}, 0, ""},
      {"", {}, 1, "carries no release key"},
      {"", {"--drop-signing"}, 0, "warning: "},
      {"B", {}, 1, "carries another release key"},
      {"B", {"--rotate-key", Path("B.pub")}, 0, "accept only releases signed with the key of"},
      {"B", {"--rotate-key", Path("A.pub")}, 1, "carries another release key than"},
      {"A", {"--rotate-key", Path("B.pub")}, 1, "does not carry"},
      {"A", {"--drop-signing"}, 1, "carries a release key"},
      {"B", {"--drop-signing", "--rotate-key", Path("B.pub")}, 2, "contradict each other"},
  };
  for (const Case& c : cases) {
    const std::string key = c.setupKey;
    const std::string what = (key.empty() ? "no key" : key) + " " + (c.extra.empty() ? "" : c.extra[0]);
    fs::remove_all(dir_ / "site");
    ASSERT_EQ(PackSetup("Setup.exe", key.empty() ? std::vector<std::string>{"--unsigned-agent"}
                                                 : std::vector<std::string>{"--public-key", Path(key + ".pub")})
                  .code, 0);
    std::vector<std::string> args = {"--version", "2"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    RunResult r = Publish("A.key", "site", args);
    EXPECT_EQ(r.code, c.code) << what << ": " << r.output;
    EXPECT_NE(r.output.find(c.says), std::string::npos) << what << ": " << r.output;
    EXPECT_EQ(fs::exists(dir_ / "site" / "Product.info"), c.code == 0) << what;
  }
}

TEST_F(ReleaseTool, PublishBindsTheReleaseToItsProductAndWritesTheExpiryAsked) {
  ASSERT_EQ(PackSetup("Setup.exe", {"--public-key", Path("A.pub")}).code, 0);
  const auto value = [](const std::string& info, const char* key) {
    bool found = false;
    return IniTextValue(info, "Integrity", key, found);
  };
  ASSERT_EQ(Publish("A.key", "site", {"--version", "2", "--inform", Path("News.txt")}).code, 0);
  std::string info = ReadBytes(dir_ / "site" / "Product.info");
  EXPECT_EQ(value(info, "SHA256OfProduct"), SUB::HexEncode(Sha256("PRODUCT.INFO|PRODUCT-1")));
  EXPECT_EQ(value(info, "Expires"), "");
  const ReleaseScope here{Sha256(ProductBindingText("Product.info", "PRODUCT-1")), "2031-01-01"};
  EXPECT_EQ(ScopeRefusal(ReadReleaseFacts(info), here, nullptr), "");

  RunResult dated = Publish("A.key", "dated", {"--version", "2", "--expires", "2030-12-31", "--info-name", "Other.info"});
  ASSERT_EQ(dated.code, 0) << dated.output;
  info = ReadBytes(dir_ / "dated" / "Other.info");
  EXPECT_EQ(value(info, "SHA256OfProduct"), SUB::HexEncode(Sha256("OTHER.INFO|PRODUCT-1")));
  EXPECT_EQ(value(info, "Expires"), "2030-12-31");
  EXPECT_NE(ScopeRefusal(ReadReleaseFacts(info), here, nullptr), "") << "published for Other.info, and expired";

  // A number of days counts from today (UTC); a date gone by is written with a warning.
  ASSERT_EQ(Publish("A.key", "days", {"--version", "2", "--expires", "0"}).code, 0);
  std::time_t now = std::time(nullptr);
  char today[16];
  std::strftime(today, sizeof today, "%Y-%m-%d", std::gmtime(&now));
  EXPECT_EQ(value(ReadBytes(dir_ / "days" / "Product.info"), "Expires"), today);
  EXPECT_NE(Publish("A.key", "past", {"--version", "2", "--expires", "2020-01-01"}).output.find("warning: the release expired"),
            std::string::npos);

  // The INFORM file must be of the same product as the UPDATE setup.
  WriteBytes(dir_ / "Other.txt", "|" + SUB::Trim(Kpack({"--scramble", "PRODUCT-2"}).output) + "|x|y|Other");
  RunResult mixed = Publish("A.key", "mixed", {"--version", "2", "--inform", Path("Other.txt")});
  EXPECT_EQ(mixed.code, 1);
  EXPECT_NE(mixed.output.find("another product token"), std::string::npos) << mixed.output;
}
