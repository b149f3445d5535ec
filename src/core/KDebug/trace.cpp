#include "core/KDebug/trace.h"

#include <iostream>

namespace kestro {

void Trace(const std::string& text) {
  // One write of the whole line keeps threads from interleaving inside it.
  std::string line = text + "\r\n";
  std::cout.write(line.data(), std::streamsize(line.size()));
  std::cout.flush();
}

}  // namespace kestro
