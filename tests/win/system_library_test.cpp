// Libraries from the system folder only, under Wine. The marker library of
// the tests (tests/win/planted/marker_library.cpp) lies beside this test
// program and nowhere in the system folder: it stands for a DLL planted
// beside the stub under a system library's name.
#include "win/Utils/system_library.h"

#include <gtest/gtest.h>

#include <string>

#include "../support/test_paths.h"

using namespace kestro;

namespace {

const char kBesideOnly[] = "marker_library.dll";

std::string ModulePath(HMODULE module) {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
  return std::string(path, length);
}

std::string SystemFolder() {
  char path[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryA(path, MAX_PATH);
  return std::string(path, length);
}

}  // namespace

// Runs before the search is restricted below: the program's folder is still
// searched for bare names here, as on a system without the restriction.
TEST(SystemLibrary, LoadsOnlyWhatTheSystemFolderHolds) {
  ASSERT_NE(GetFileAttributesA(ktest::BinaryDir().append("\\").append(kBesideOnly).c_str()),
            INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(LoadSystemLibrary(kBesideOnly), nullptr) << "a library beside the program";

  HMODULE riched = LoadSystemLibrary("RICHED32.DLL");
  ASSERT_NE(riched, nullptr);
  EXPECT_EQ(_stricmp(ModulePath(riched).c_str(), (SystemFolder() + "\\RICHED32.DLL").c_str()), 0)
      << ModulePath(riched);
  FreeLibrary(riched);

  EXPECT_NE(SystemFunction("kernel32.dll", "GetDiskFreeSpaceExA"), nullptr);
  EXPECT_NE(SystemFunction("version.dll", "VerQueryValueA"), nullptr) << "loaded on first use";
  EXPECT_EQ(SystemFunction("kernel32.dll", "NoSuchFunctionAnywhere"), nullptr);
  EXPECT_EQ(SystemFunction(kBesideOnly, "x"), nullptr);
  EXPECT_EQ(SystemFunction("no_such_library_kestro.dll", "x"), nullptr);
}

TEST(SystemLibrary, RestrictedSearchLeavesTheProgramsFolderOut) {
  ASSERT_TRUE(RestrictLibrarySearchToSystem());
  EXPECT_EQ(LoadLibraryA(kBesideOnly), nullptr) << "a bare name, asked for after the restriction";
  HMODULE bcrypt = LoadLibraryA("bcrypt.dll");
  EXPECT_NE(bcrypt, nullptr) << "the system folder is still searched";
  if (bcrypt) FreeLibrary(bcrypt);
}
