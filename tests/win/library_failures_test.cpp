// What the C++ library's failures do in a program built like the stub
// (without exceptions): the process ends at once, with a line that names the
// failure, and nothing after the failure runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "win/Files/files.h"
#include "../support/child_process.h"
#include "../support/debug_viewer.h"

using ktest::ChildProcess;
using ktest::DebugViewer;

namespace {

struct Failure {
  const char* how;
  const char* line;  // the line the channel receives
};

// abort()'s exit code in the Microsoft runtime.
constexpr DWORD kAbortExitCode = 3;

}  // namespace

TEST(LibraryFailures, EndTheProcessWithALineThatNamesThem) {
  const Failure failures[] = {
      {"text", " --- FATAL (length_error) --- basic_string::"},
      {"list", " --- FATAL (length_error) --- vector::reserve"},
      {"memory", " --- FATAL (bad_alloc) --- out of memory"},
      {"position", " --- FATAL (out_of_range) --- basic_string::substr: "
                   "__pos (which is 5) > this->size() (which is 3)"},
      {"function", " --- FATAL (bad_function_call) --- "},
  };
  for (const Failure& f : failures) {
    DebugViewer viewer;
    ChildProcess child("\"" + kestro::ExeDir(true) + "library_failure.exe\" " + f.how);
    ASSERT_TRUE(child.Started()) << f.how;
    EXPECT_EQ(viewer.WaitForExit(child.Handle(), 20000), kAbortExitCode) << f.how;
    ASSERT_GE(viewer.Lines().size(), 2u) << f.how << ": " << viewer.Text();
    EXPECT_EQ(viewer.Lines()[0], "before") << f.how;
    EXPECT_EQ(viewer.Lines()[1].rfind(f.line, 0), 0u) << f.how << ": " << viewer.Lines()[1];
    EXPECT_FALSE(viewer.Contains("after")) << f.how;
  }
}
