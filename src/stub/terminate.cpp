// What an exception that nobody catches does in the shipped exe: end the
// process at once. The runtime's default handler first writes the
// exception's type name to the error stream, which a GUI exe does not have,
// and brings a symbol demangler of about 46 KB into every setup file; this
// definition takes its place in the link.
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
