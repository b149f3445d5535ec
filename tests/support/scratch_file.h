// A file of the build tree that one test may write: gone before the test and
// removed after it.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "test_paths.h"

namespace ktest {

inline std::string CurrentTestName() {
  return ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

class ScratchFile {
 public:
  explicit ScratchFile(const std::string& name) : path_(BinaryDir() + "\\" + name) {
    DeleteFileA(path_.c_str());
  }
  ~ScratchFile() { DeleteFileA(path_.c_str()); }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace ktest
