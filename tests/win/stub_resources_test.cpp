// What the stub exe carries besides its code: the program icon the main
// window paints, the manifest that asks for administrator rights, and the
// version the agent log prints; and the header layout a setup file needs to
// mark where its package ends, so that a signature may follow it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/PackX/file_source.h"
#include "win/Utils/exe_version.h"
#include "../support/setup_road.h"

namespace {

struct ModuleCloser {
  void operator()(HMODULE m) const { FreeLibrary(m); }
};

std::string Resource(HMODULE m, LPCSTR type, LPCSTR name) {
  HRSRC r = FindResourceA(m, name, type);
  if (!r) return "";
  HGLOBAL g = LoadResource(m, r);
  return std::string(static_cast<const char*>(LockResource(g)), SizeofResource(m, r));
}

TEST(StubResources, IconManifestAndVersion) {
  std::unique_ptr<HINSTANCE__, ModuleCloser> stub(
      LoadLibraryExA(ktest::StubExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  ASSERT_TRUE(stub);
  EXPECT_NE(FindResourceA(stub.get(), "MainIcon", reinterpret_cast<LPCSTR>(RT_GROUP_ICON)),
            nullptr);
  const std::string manifest =
      Resource(stub.get(), reinterpret_cast<LPCSTR>(RT_MANIFEST), MAKEINTRESOURCEA(1));
  EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos) << manifest;
  EXPECT_EQ(kestro::GetExeVersion(ktest::StubExe()), "1.0.0.0");
  EXPECT_EQ(kestro::GetExeVersion(ktest::EngineExe()), "");
}

// The package-end mark in bytes 248..255 counts only in an image whose PE
// header sits at 256; the linker's own layout puts it at 128.
TEST(StubResources, PeHeaderLeavesRoomForThePackageEndMark) {
  kestro::FileSource stub(ktest::StubExe());
  ASSERT_TRUE(stub.IsOpen());
  EXPECT_TRUE(kestro::IsPeImage(stub));
  EXPECT_EQ(kestro::GetPackageEnd(stub), 0u);
}

}  // namespace
