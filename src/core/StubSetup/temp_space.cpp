#include "core/StubSetup/temp_space.h"

#include "core/Utils/ksub.h"
#include "core/LangRes0/lang_keys.h"

#include "core/Utils/fixed_text.h"

namespace kestro {

namespace {

std::string Text(const LangLookup& lang, const LangKey& k) { return lang(k.key, k.def); }

}  // namespace

std::string ExtractionFolderPath(const std::string& tempDir, std::uint32_t setupFileTime) {
  if (tempDir.empty()) return "";
  return tempDir + kSetupFolderPrefix + std::to_string(setupFileTime & 0xFFFFu);
}

std::string FormatMegabytes(double bytes) {
  double mb = bytes > 0 ? bytes / 1048576.0 : 0.0;
  int decimals = mb > 10 ? 1 : mb >= 1 ? 2 : 3;
  return FixedText(mb, decimals);
}

std::string TempSpaceNotice(const TempSpaceFacts& f, const LangLookup& lang) {
  std::string drive;
  if (!f.folder.empty()) drive = SUB::Upper(f.folder.substr(0, 1)) + ":";
  std::string notice;
  if (f.alwaysNotify)
    notice = Text(lang, lang::kTempDriveNotice);
  if (f.needed >= f.available)
    notice = Text(lang, lang::kTempDriveShort);
  if (notice.empty()) return notice;
  std::string text = notice + Text(lang, lang::kSpaceRequired) +
                     Text(lang, lang::kSpaceAvailable) + Text(lang, lang::kContinueSetup);
  text = SUB::ReplaceText(text, "<DRIVE>", drive);
  text = SUB::ReplaceText(text, "<SPACE_REQ>", FormatMegabytes(f.needed));
  return SUB::ReplaceText(text, "<SPACE_AVAIL>", FormatMegabytes(f.available));
}

char PickBetterTempDrive(const uint64_t freeBytes[3], char currentTempDrive) {
  char best = 0;
  uint64_t most = 0;
  for (int i = 0; i < 3; ++i) {
    if (freeBytes[i] > most) {
      most = freeBytes[i];
      best = static_cast<char>('C' + i);
    }
  }
  const std::string current = SUB::Upper(std::string(1, currentTempDrive));
  return current[0] == best ? 0 : best;
}

}  // namespace kestro
