#include "core/temp_space.h"

#include <cctype>
#include <cstdio>

namespace kestro {

namespace {

void ReplaceAll(std::string& s, const std::string& from, const std::string& to) {
  for (size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + to.size()))
    s.replace(p, from.size(), to);
}

}  // namespace

std::string FormatMegabytes(double bytes) {
  double mb = bytes > 0 ? bytes / 1048576.0 : 0.0;
  int decimals = mb > 10 ? 1 : mb >= 1 ? 2 : 3;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, mb);
  return buf;
}

std::string TempSpaceNotice(const TempSpaceFacts& f, const LangLookup& lang) {
  std::string drive;
  if (!f.folder.empty())
    drive = std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(f.folder[0])))) + ":";
  std::string notice;
  if (f.alwaysNotify)
    notice = lang("s2", "Kestro will extract files to your Temp Drive (<DRIVE>)<P>");
  if (f.needed >= f.available)
    notice = lang("s3", "Limited Free Space on your Temp Drive! (<DRIVE>)<P>");
  if (notice.empty()) return notice;
  std::string text =
      notice +
      lang("s4", "<P>Estimated space required on your Temp drive is: <T>  <SPACE_REQ> MB<P>") +
      lang("s5", "Free space available on your Temp drive is: <T>  <SPACE_AVAIL> MB<P>") +
      lang("s6", "<P>Continue with Setup?<P>");
  ReplaceAll(text, "<DRIVE>", drive);
  ReplaceAll(text, "<SPACE_REQ>", FormatMegabytes(f.needed));
  ReplaceAll(text, "<SPACE_AVAIL>", FormatMegabytes(f.available));
  return text;
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
  char current = static_cast<char>(std::toupper(static_cast<unsigned char>(currentTempDrive)));
  return best == current ? 0 : best;
}

}  // namespace kestro
