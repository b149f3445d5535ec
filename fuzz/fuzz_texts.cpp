// Any bytes as the texts the user-facing code receives from packages and
// settings files: message markup, button lists, a language block, a language
// settings value. Checks the promises the windows rely on: bold runs lie
// inside the plain text in order, measurements stay within their bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/Utils/ksub.h"
#include "core/LangRes0/lang_select.h"
#include "core/KMsgBox/markup.h"
#include "core/KMsgBox/msgbox_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  const kestro::PlainText plain = kestro::ParseMarkup(text);
  std::size_t last = 0;
  for (const kestro::BoldRun& run : plain.bold) {
    if (run.start < last || run.start >= run.end || run.end > plain.text.size()) std::abort();
    last = run.end;
  }

  const auto width = [](const std::string& line) { return static_cast<int>(line.size()) * 7; };
  const kestro::Extent e = kestro::MeasureMsgBoxText(plain.text, 13, width);
  if (e.width < 10 || e.width > kestro::kMaxTextWidth || e.height < 13) std::abort();

  const std::vector<std::string> captions = kestro::SUB::Items(text);
  const int n = static_cast<int>(captions.size());
  for (int key = 0; key < 256; key += 7) {
    if (kestro::LetterKeySlot(captions, key) >= n || kestro::AltKeySlot(captions, char(key)) >= n) std::abort();
  }

  kestro::ChooseLangSection(text, "ENGLISH");
  kestro::CleanLanguageIniValue(text, "default <?>", "x");
  return 0;
}
