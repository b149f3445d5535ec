// Shows one Yes/No message box and exits with its result code, so a test can
// watch the box of a process whose environment it chose (for instance one
// in which the rich-edit library cannot be loaded).
#include <cstdlib>

#include "core/KMsgBox/msgbox_rules.h"
#include "win/KMsgBox/kmsgbox.h"

int main(int argc, char** argv) {
  const int timeoutMs = argc > 1 ? std::atoi(argv[1]) : 0;
  return kestro::ShowMsgBox(1, "Shown <B>without</B> the rich-edit library?", "Question", timeoutMs, 0x24, 0,
                            kestro::kDefaultButtonList);
}
