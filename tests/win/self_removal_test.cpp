// Self-removal of a temporary copy: the batch left in the temp folder waits
// until the program has ended, deletes it, keeps its folder when asked to,
// and deletes itself.
#include <windows.h>

#include <gtest/gtest.h>

#include "win/Files/files.h"
#include "../support/setup_road.h"

namespace {

using namespace ktest;

TEST(SelfRemoval, CopyDeletesItselfAfterItEndsAndKeepsItsFolder) {
  // The folder names: blanks, and "%" signs the interpreter of the batch
  // would read as an environment variable.
  for (const char* folder : {"agent copy", "50%TEMP%off"}) {
    const std::string dir = ScratchDir() + "\\" + folder;
    kestro::ForceDirectories(dir);
    const std::string exe = dir + "\\X_Product.AutoUpdate.exe";
    ASSERT_TRUE(CopyFileA((BinaryDir() + "\\self_remover.exe").c_str(), exe.c_str(), FALSE));
    WriteFileText(dir + "\\keep.txt", "stays");
    // Read-only, as a copy off a CD would be: it must go all the same.
    SetFileAttributesA(exe.c_str(), FILE_ATTRIBUTE_READONLY);

    StubProcess copy("\"" + exe + "\"");
    EXPECT_EQ(copy.Wait(20000), 0) << folder;
    const std::string batch = kestro::TempDir(true) + "_DEL_ME_.BAT";
    EXPECT_TRUE(WaitUntil([&] { return !Exists(exe) && !Exists(batch); }, 20000)) << folder;
    EXPECT_TRUE(Exists(dir + "\\keep.txt")) << folder;
  }
}

}  // namespace
