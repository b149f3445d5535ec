// Signed releases at the agent, under Wine against nginx: releases signed by
// kpack (signed_releases.sh makes them with OpenSSL before this test runs),
// an agent packed around the real stub with the publisher's public key, and
// the agent's download routine, which stores and keeps only what the key
// signed.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "../support/agent_run.h"
#include "../support/nginx_server.h"
#include "core/Utils/ksub.h"
#include "win/StubAU/release_verify.h"

using namespace ktest;

namespace {

std::string Release(const std::string& rel) { return BinaryDir() + "\\signed-releases\\" + rel; }
std::string PublicKeyOption() { return "--public-key \"" + Release("A.pub") + "\""; }
std::string Cert(const std::string& name) { return BinaryDir() + "\\test-certs\\" + name; }

int CountOf(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// A scratch folder with nginx serving its "www" folder (over HTTPS with the
// server certificate of test CA `ca`, when one is named); the agent's update
// location is "/product" on it.
struct ServedAgent {
  std::string dir = ScratchDir();
  std::string www = dir + "\\www";
  std::string served = www + "\\product";
  NginxServer nginx;
  AgentSetup setup;

  explicit ServedAgent(const std::string& ca = "")
      : nginx(www, dir + "\\nginx", ca.empty() ? "" : Cert(ca + "-server.pem"),
              ca.empty() ? "" : Cert(ca + "-server.key")),
        setup(dir, nginx.Base() + "/product") {
    kestro::ForceDirectories(served);
  }
  // Serves `info` as the release's ".INFO" file with `signature` beside it
  // (none when empty).
  void Serve(const std::string& info, const std::string& signature) const {
    WriteFileText(served + "\\Product.info", info);
    const std::string sig = served + "\\Product.info.sig";
    if (signature.empty()) DeleteFileA(sig.c_str());
    else WriteFileText(sig, signature);
  }
  void ServeRelease(const std::string& rel) const {
    Serve(ReadFileText(Release(rel + "\\Product.info")), ReadFileText(Release(rel + "\\Product.info.sig")));
  }
  // An agent of the fixture's product (PRODUCT-1, Product.info) with the
  // release key, version 1 installed, `rel` served.
  bool ReadyWithKey(const std::string& rel) const {
    if (!nginx.Up() || setup.Pack("--product-token PRODUCT-1 " + PublicKeyOption()) != 0) return false;
    setup.WriteOriginal("[OriginalSetup]\r\nVersionOriginal=1\r\nProbeSecondsInterval=3600\r\n");
    ServeRelease(rel);
    return true;
  }
  std::string StoredInfo() const { return ReadFileText(setup.LocalInfo()); }
  std::string StoredSignature() const { return ReadFileText(setup.LocalInfo() + ".sig"); }
  std::string Log() const { return ReadFileText(setup.Log()); }
};

}  // namespace

// ---- the ".INFO" check ------------------------------------------------------------

TEST(SignedAgent, StoresOnlyInfoFilesItsKeySignedAndNeverOlderOnes) {
  ServedAgent f;
  ASSERT_TRUE(f.ReadyWithKey("r2"));
  DebugViewer viewer;
  RunningAgent agent(f.setup, viewer);
  ASSERT_TRUE(agent.Window());
  ASSERT_TRUE(agent.WaitForTrace(" GetOkToPerformAU=", 1));
  EXPECT_EQ(agent.TraceCount(" GetOkToPerformAU=0"), 0) << "release 2 is signed and newer";
  EXPECT_EQ(f.StoredInfo(), ReadFileText(Release("r2\\Product.info")));
  EXPECT_EQ(f.StoredSignature(), ReadFileText(Release("r2\\Product.info.sig")));
  EXPECT_NE(f.Log().find("Release verified: signature verified"), std::string::npos) << f.Log();

  const std::string info3 = ReadFileText(Release("r3\\Product.info"));
  const std::string sig3 = ReadFileText(Release("r3\\Product.info.sig"));
  const auto edited = [&](const char* from, const char* to) { return kestro::SUB::ReplaceText(info3, from, to); };
  struct Case {
    const char* what;
    std::string info, signature, reason;
  } cases[] = {
      {"version edited", edited("VersionNew=3", "VersionNew=9"), sig3, "does not verify"},
      {"file name edited", edited("NameOfUpdateFile=Setup.exe", "NameOfUpdateFile=Evil.exe"), sig3,
       "does not verify"},
      {"process name edited", edited("\\Product.exe", "\\cmd.exe"), sig3, "does not verify"},
      {"link edited", edited("http://127.0.0.1/download", "http://127.0.0.1/evil"), sig3,
       "does not verify"},
      {"signed by another key", info3, ReadFileText(Release("r3b\\Product.info.sig")), "does not verify"},
      {"no signature file", info3, "", "has no signature file"},
      {"an HTML page for a signature", info3, "<html><body>Not here</body></html>", "malformed"},
  };
  for (const Case& c : cases) {
    f.Serve(c.info, c.signature);
    EXPECT_EQ(ForcedCheck(agent), 0) << c.what;
    const std::string refusal = agent.LastTrace(" ReleaseRefused: ");
    EXPECT_NE(refusal.find(c.reason), std::string::npos) << c.what << ": " << refusal;
    EXPECT_EQ(f.StoredInfo(), ReadFileText(Release("r2\\Product.info"))) << c.what;
    EXPECT_EQ(f.StoredSignature(), ReadFileText(Release("r2\\Product.info.sig"))) << c.what;
  }
  EXPECT_EQ(CountOf(f.Log(), "ERROR: release refused: "), int(std::size(cases))) << f.Log();

  // Release 3 replaces release 2; release 2 served again is a rollback.
  f.ServeRelease("r3");
  EXPECT_NE(ForcedCheck(agent), 0);
  EXPECT_EQ(f.StoredInfo(), info3);
  f.ServeRelease("r2");
  EXPECT_EQ(ForcedCheck(agent), 0) << "an older signed release replayed";
  EXPECT_NE(agent.LastTrace(" ReleaseRefused: ").find("older"), std::string::npos)
      << agent.LastTrace(" ReleaseRefused: ");
  EXPECT_EQ(f.StoredInfo(), info3);
  EXPECT_EQ(f.StoredSignature(), sig3);
  EXPECT_EQ(ReadIni(f.setup.Original(), "OriginalSetup", "VersionOriginal"), "1");
  EXPECT_EQ(agent.TraceCount(" ==== PerformShot-1 ===="), 0) << "nothing was acted on";
  EXPECT_EQ(CountOf(f.Log(), kestro::kUnsignedReleaseLog), 0);
  agent.Command(30, 0);
  EXPECT_EQ(agent.WaitForExit(), 0u);
}

TEST(SignedAgent, ActsOnlyOnReleasesOfItsOwnProductThatHaveNotExpired) {
  ServedAgent f;
  // Release 2 as a kpack without the product binding published it: the key
  // is the product's, so it is taken.
  ASSERT_TRUE(f.ReadyWithKey("unbound2"));
  const std::string unbound2 = ReadFileText(Release("unbound2\\Product.info"));
  DebugViewer viewer;
  RunningAgent agent(f.setup, viewer);
  ASSERT_TRUE(agent.Window());
  ASSERT_TRUE(agent.WaitForTrace(" GetOkToPerformAU=", 1));
  EXPECT_EQ(f.StoredInfo(), unbound2) << f.Log();

  // Version 5, signed by the same key: for another product, under another
  // product's .INFO name, and expired.
  struct Case {
    const char* rel;
    const char* reason;
  } cases[] = {
      {"other-token", "belongs to another product"},
      {"other-name", "belongs to another product"},
      {"expired", "expired on 2021-06-30"},
  };
  for (const Case& c : cases) {
    f.ServeRelease(c.rel);
    EXPECT_EQ(ForcedCheck(agent), 0) << c.rel;
    const std::string refusal = agent.LastTrace(" ReleaseRefused: ");
    EXPECT_NE(refusal.find(c.reason), std::string::npos) << c.rel << ": " << refusal;
    EXPECT_EQ(f.StoredInfo(), unbound2) << c.rel << ": nothing stored";
  }
  EXPECT_EQ(CountOf(f.Log(), "ERROR: release refused: "), int(std::size(cases))) << f.Log();
  // None of them raised the rollback floor: release 3 of this product is taken.
  f.ServeRelease("r3");
  EXPECT_NE(ForcedCheck(agent), 0);
  EXPECT_EQ(f.StoredInfo(), ReadFileText(Release("r3\\Product.info")));
  // Once a bound release is stored, one bound to no product can only be a replay.
  f.ServeRelease("unbound2");
  EXPECT_EQ(ForcedCheck(agent), 0);
  EXPECT_NE(agent.LastTrace(" ReleaseRefused: ").find("names no product"), std::string::npos)
      << agent.LastTrace(" ReleaseRefused: ");
  EXPECT_EQ(ReadIni(f.setup.Original(), "OriginalSetup", "VersionOriginal"), "1");
  agent.Command(30, 0);
  EXPECT_EQ(agent.WaitForExit(), 0u);
}

TEST(SignedAgent, AnAgentWithoutAKeyChecksAsBeforeAndSaysSoOncePerCheck) {
  ServedAgent f;
  ASSERT_TRUE(f.nginx.Up());
  ASSERT_EQ(f.setup.Pack(), 0);
  f.setup.WriteOriginal("[OriginalSetup]\r\nVersionOriginal=1\r\nProbeSecondsInterval=3600\r\n");
  WriteFileText(f.served + "\\Setup.exe", std::string(5000, 'u'));
  const std::string info = "[NewSetup]\r\nDownloadURL_UPDATE=" + f.nginx.Base() +
                           "/product\r\nNameOfUpdateFile=Setup.exe\r\nSizeOfUpdateFile=5000\r\n"
                           "VersionNew=2\r\nStamp=5\r\n";
  f.Serve(info, "");
  DebugViewer viewer;
  RunningAgent agent(f.setup, viewer);
  ASSERT_TRUE(agent.Window());
  ASSERT_TRUE(agent.WaitForTrace(" GetOkToPerformAU=", 1));
  EXPECT_EQ(agent.TraceCount(" GetOkToPerformAU=6"), 1);
  // The offered release's UPDATE file belongs to no product: its box is answered.
  EXPECT_TRUE(AnswerForeignUpdate(agent));
  EXPECT_EQ(f.StoredInfo(), info);
  EXPECT_NE(ForcedCheck(agent), 0) << "the same release, already offered";
  EXPECT_EQ(CountOf(f.Log(), kestro::kUnsignedReleaseLog), 2) << f.Log();
  EXPECT_EQ(agent.TraceCount(" ReleaseRefused: "), 0);
  EXPECT_FALSE(Exists(f.setup.LocalInfo() + ".sig"));
  agent.Command(30, 0);
  EXPECT_EQ(agent.WaitForExit(), 0u);
}

// ---- the UPDATE file ----------------------------------------------------------------

namespace {

// The agent's download routine in an agent file of its own (a helper exe
// packed by kpack with the release key), beside the stored release 3.
struct DownloadingAgent : ServedAgent {
  std::string exe = dir + "\\Product.AutoUpdate.exe";

  using ServedAgent::ServedAgent;

  long Pack() const {
    const std::string cmd = "\"" + KpackExe() + "\" --stub \"" + BinaryDir() + "\\agent_download.exe\" --out \"" +
                            exe + "\" --agent --agent-log --update-url \"" + nginx.Base() +
                            "/product\" --info-file Product.info --agent-name Product.AutoUpdate.exe"
                            " --product-token PRODUCT-1 " + PublicKeyOption();
    return ChildProcess(cmd).Wait(60000);
  }
  void StoreRelease3() const {
    CopyFileA(Release("r3\\Product.info").c_str(), setup.LocalInfo().c_str(), FALSE);
    CopyFileA(Release("r3\\Product.info.sig").c_str(), (setup.LocalInfo() + ".sig").c_str(), FALSE);
    setup.WriteOriginal("[OriginalSetup]\r\nVersionOriginal=2\r\n");
  }
  // DownloadFileAU(the update location, name, kind): "1" or "0", a line
  // break and the error text.
  std::string Download(const std::string& name, int kind) const {
    const std::string out = dir + "\\answer.txt";
    DeleteFileA(out.c_str());
    ChildProcess run("\"" + exe + "\" /Location=\"" + nginx.Base() + "/product\" /Name=" + name +
                     " /Kind=" + std::to_string(kind) + " /Out=\"" + out + "\"");
    return run.Wait(60000) == 0 ? ReadFileText(out) : "no answer";
  }
  std::string DownloadUpdate() const { return Download("Setup.exe", 2); }
  std::string Downloaded() const { return dir + "\\Setup.exe"; }
  std::string Log() const { return ReadFileText(dir + "\\X_Product.AutoUpdate.log"); }
};

std::string FlipOneByte(std::string bytes) {
  bytes[bytes.size() / 3] ^= 0x01;
  return bytes;
}

}  // namespace

TEST(SignedAgent, KeepsOnlyTheUpdateFileTheStoredReleaseSigned) {
  DownloadingAgent f;
  ASSERT_TRUE(f.nginx.Up());
  ASSERT_EQ(f.Pack(), 0);
  f.StoreRelease3();
  const std::string setup3 = ReadFileText(Release("r3\\Setup.exe"));
  struct Case {
    const char* what;
    std::string served, reason;
  } cases[] = {
      {"one flipped byte", FlipOneByte(setup3), "SHA-256"},
      // Refused by its size: a larger file before it is taken (the signed
      // size bounds the download), a smaller one after; by its hash when
      // both releases packed to the same size.
      {"the UPDATE file of release 2", ReadFileText(Release("r2\\Setup.exe")), "Setup.exe "},
  };
  for (const Case& c : cases) {
    WriteFileText(f.served + "\\Setup.exe", c.served);
    const std::string answer = f.DownloadUpdate();
    EXPECT_EQ(answer.substr(0, 1), "0") << c.what << ": " << answer;
    EXPECT_NE(answer.find(c.reason), std::string::npos) << c.what << ": " << answer;
    EXPECT_FALSE(Exists(f.Downloaded())) << c.what << ": a refused file is deleted";
    EXPECT_EQ(f.StoredInfo(), ReadFileText(Release("r3\\Product.info"))) << c.what;
    EXPECT_EQ(f.StoredSignature(), ReadFileText(Release("r3\\Product.info.sig"))) << c.what;
  }
  EXPECT_EQ(CountOf(f.Log(), "ERROR: downloaded file refused: ") + CountOf(f.Log(), " this file may have)"),
            int(std::size(cases)))
      << f.Log();
  EXPECT_EQ(ReadIni(f.setup.Original(), "OriginalSetup", "VersionOriginal"), "2");

  // A stored copy edited after it verified refuses even the right file.
  WriteFileText(f.served + "\\Setup.exe", setup3);
  WriteFileText(f.setup.LocalInfo(), kestro::SUB::ReplaceText(ReadFileText(Release("r3\\Product.info")),
                                                              "VersionNew=3", "VersionNew=4"));
  EXPECT_EQ(f.DownloadUpdate().substr(0, 1), "0");
  EXPECT_FALSE(Exists(f.Downloaded()));

  f.StoreRelease3();
  EXPECT_EQ(f.DownloadUpdate(), "1\r\n");
  EXPECT_EQ(ReadFileText(f.Downloaded()), setup3);
  EXPECT_NE(f.Log().find("Release verified: Setup.exe matches the signed release"), std::string::npos) << f.Log();
}

// ---- over HTTPS ------------------------------------------------------------------------

namespace {

// From here on the prefix trusts the "trusted" test CA: a helper process
// adds it to the root store, which each later process reads at its start.
bool TrustTestCa() {
  ChildProcess helper("\"" + BinaryDir() + "\\trust_root.exe\" /Cert=\"" + Cert("trusted-ca.der") + "\"");
  return helper.Wait(60000) == 0;
}

}  // namespace

TEST(SignedAgentHttps, ChecksASignedReleaseOverHttps) {
  ASSERT_TRUE(TrustTestCa());
  ServedAgent f("trusted");
  ASSERT_TRUE(f.ReadyWithKey("r3"));
  DebugViewer viewer;
  RunningAgent agent(f.setup, viewer);
  ASSERT_TRUE(agent.Window());
  ASSERT_TRUE(agent.WaitForTrace(" GetOkToPerformAU=", 1));
  EXPECT_EQ(f.StoredInfo(), ReadFileText(Release("r3\\Product.info"))) << f.Log();
  EXPECT_EQ(f.StoredSignature(), ReadFileText(Release("r3\\Product.info.sig")));
  EXPECT_NE(f.Log().find("Download START: " + f.nginx.Base() + "/product\\Product.info"), std::string::npos)
      << f.Log();
  const std::string access = ReadFileText(f.dir + "\\nginx\\access.log");
  EXPECT_NE(access.find("GET /product/Product.info.sig HTTP/1.1\" 200"), std::string::npos) << access;
  agent.Command(30, 0);
  EXPECT_EQ(agent.WaitForExit(), 0u);
}

TEST(SignedAgentHttps, AnUntrustedCertificateFailsWithAClearError) {
  ASSERT_TRUE(TrustTestCa());
  DownloadingAgent f("untrusted");
  ASSERT_TRUE(f.nginx.Up());
  ASSERT_EQ(f.Pack(), 0);
  f.ServeRelease("r3");
  const std::string answer = f.Download("Product.info", 1);
  EXPECT_EQ(answer.substr(0, 1), "0") << answer;
  EXPECT_NE(answer.find("Unable to open Internet Connection: " + f.nginx.Base() + "/product/Product.info ("),
            std::string::npos) << answer;
  EXPECT_NE(answer.find("certificate"), std::string::npos) << answer;
  EXPECT_FALSE(Exists(f.setup.LocalInfo()));
  const std::string access = ReadFileText(f.dir + "\\nginx\\access.log");
  EXPECT_EQ(access.find("GET /product/Product.info "), std::string::npos) << "no request got through: " << access;
}
