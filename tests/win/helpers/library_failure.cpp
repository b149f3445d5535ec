// A program linked like the stub, which makes the C++ library fail in the
// way its command line names, with the debug channel installed:
//   library_failure.exe text|list|memory|position|function
// It traces "before" and, if it survives the failure, "after" and exits 0.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "core/KDebug/trace.h"
#include "win/KDebug/kdebug.h"

namespace {

void Fail(const std::string& how) {
  if (how == "text") {
    std::string text = "abc";
    text.resize(text.max_size() + 1);
  } else if (how == "list") {
    std::vector<int> list;
    list.reserve(list.max_size() + 1);
  } else if (how == "memory") {
    // More than any address space holds; volatile, so the compiler cannot
    // see (and warn about) the size.
    volatile std::size_t size = ~std::size_t(0) / 2;
    std::vector<char> block(size);
  } else if (how == "position") {
    std::string("abc").substr(5);
  } else if (how == "function") {
    std::function<void()> nothing;
    nothing();
  }
}

}  // namespace

int main(int argc, char** argv) {
  kestro::InstallDebugChannel();
  if (argc < 2) return 2;
  kestro::Trace("before");
  Fail(argv[1]);
  kestro::Trace("after");
  return 0;
}
