// Signed setup files as a publisher ships them: the built stub packed by the
// built packager, signed with osslsigncode and checked by its verify on the
// host just before this test (tests/e2e/sign_setups.sh), then started under
// Wine. A signed file must install exactly like an unsigned one, and the
// agent file it writes must be a sound agent package.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/PackX/file_info.h"
#include "core/PackX/file_source.h"
#include "../support/setup_road.h"

namespace {

using namespace ktest;
using namespace kestro;

const char kAgentName[] = "Product.AutoUpdate.exe";
const long kEngineExitCode = 5;  // the packed engine switches ask for it

std::string Signed(const std::string& relative) {
  return BinaryDir() + "\\e2e\\signed\\" + relative;
}

struct Install {
  long exitCode = -1;
  std::string target;
};

// Runs a setup file to its end; the engine installs into dir\installed.
Install RunToEnd(const std::string& setup, const std::string& dir) {
  Install r;
  kestro::ForceDirectories(dir);
  r.target = dir + "\\installed";
  StubProcess stub(SetupCommand(setup, "/Target=" + r.target + " /EngineLog=" + dir + "\\engine.log"));
  r.exitCode = stub.Wait(60000);
  return r;
}

struct PackageEnd {
  uint64_t mark = 0, size = 0;
  bool peImage = false;
};

PackageEnd PackageEndOf(const std::string& path) {
  FileSource src(path);
  PackageEnd e;
  e.peImage = IsPeImage(src);
  e.mark = GetPackageEnd(src);
  e.size = src.Size();
  return e;
}

// ---- installing ---------------------------------------------------------------

TEST(SignedSetup, InstallsLikeTheUnsignedFile) {
  const struct {
    const char* name;
    bool signedFile;
  } cases[] = {
      {"unsigned", false},
      {"signed", true},
      {"volumes", true},
  };
  const std::string payload = Signed("payload");
  const std::string scratch = ScratchDir();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string setup = Signed(std::string(c.name) + "\\setup.exe");
    const PackageEnd end = PackageEndOf(setup);
    EXPECT_TRUE(end.peImage);
    if (c.signedFile) {
      EXPECT_GT(end.mark, 0u);
      EXPECT_LT(end.mark, end.size) << "no signature after the package";
    } else {
      EXPECT_EQ(end.mark, 0u);
    }

    const Install r = RunToEnd(setup, scratch + "\\" + c.name);
    EXPECT_EQ(r.exitCode, kEngineExitCode);
    EXPECT_EQ(ReadFileText(r.target + "\\readme.txt"), ReadFileText(payload + "\\readme.txt"));
    const std::string blob = ReadFileText(r.target + "\\bin\\blob.dat");
    EXPECT_EQ(blob.size(), 150000u);
    EXPECT_TRUE(blob == ReadFileText(payload + "\\bin\\blob.dat")) << "blob differs";
    EXPECT_TRUE(Exists(r.target + "\\" + kAgentName)) << "no agent file";
  }
}

// ---- the agent file --------------------------------------------------------------

// The agent file is the setup's stub and header blocks and a trailer; from a
// signed setup it must stop at the package, not carry the signature's place.
TEST(SignedSetup, WritesTheSameAgentAsAnUnsignedSetup) {
  const std::string scratch = ScratchDir();
  const std::string setup = Signed("signed\\setup.exe");
  const std::string agentOfSigned = RunToEnd(setup, scratch + "\\signed").target + "\\" + kAgentName;
  const std::string agentOfUnsigned =
      RunToEnd(Signed("unsigned\\setup.exe"), scratch + "\\unsigned").target + "\\" + kAgentName;

  TGFileInfo a(agentOfSigned), u(agentOfUnsigned), s(setup);
  ASSERT_TRUE(a.HasPackage());
  EXPECT_TRUE(a.IsAgent());
  EXPECT_EQ(a.GetAgentExeName(), kAgentName);
  EXPECT_EQ(a.GetUpdateUrl(), "http://127.0.0.1/upd");
  EXPECT_EQ(a.GetProductToken(true), u.GetProductToken(true));
  EXPECT_EQ(a.PackageSettings(), s.PackageSettings());
  EXPECT_EQ(a.Trailer().FileCount(), s.Trailer().FileCount());

  const uint64_t firstFileBlock = s.Trailer().PackageStart();
  EXPECT_EQ(a.Trailer().PackageStart(), firstFileBlock);
  const PackageEnd end = PackageEndOf(agentOfSigned);
  EXPECT_TRUE(end.peImage);
  EXPECT_EQ(end.mark, 0u) << "the agent is read from its own end";
  EXPECT_EQ(end.size, firstFileBlock + kTrailerSize);
  std::string expected = ReadFileText(setup).substr(0, size_t(firstFileBlock));
  expected.replace(kPackageEndLowOffset, 4, std::string(4, '\0'));
  EXPECT_TRUE(ReadFileText(agentOfSigned).compare(0, size_t(firstFileBlock), expected) == 0)
      << "the agent does not start with the setup's stub and header blocks";
}

}  // namespace
