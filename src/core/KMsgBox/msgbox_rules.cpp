#include "core/KMsgBox/msgbox_rules.h"

#include <algorithm>
#include <cctype>

namespace kestro {

const char kTitleList[] = "|Error|Attention|Confirm|";

// ---- helpers ---------------------------------------------------------------
namespace {

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

std::string UpperAscii(std::string s) {
  for (char& c : s) c = Upper(c);
  return s;
}

}  // namespace

// ---- front end ---------------------------------------------------------------

MsgBoxRequest PrepareMsgBox(std::uintptr_t modeOrOwner, const std::string& text,
                            const std::string& title, std::uint32_t flags, int charset) {
  MsgBoxRequest r{text, flags};
  if (IsRightToLeftCharset(charset)) r.flags |= kMbRight | kMbRtlReading;
  if (modeOrOwner == 0) {
    // Only the built-in English titles are shouted; a translated title is
    // shown as the translator wrote it.
    std::string heading = title;
    if (!title.empty() && std::string(kTitleList).find(title) != std::string::npos)
      heading = UpperAscii(title);
    r.text = "<<b>" + heading + "</b><P><P>" + text + "<P>";
  }
  if (modeOrOwner == 2) r.flags |= kMbNoClose;
  r.flags |= kMbAlwaysSet;
  return r;
}

// ---- measuring and sizing ------------------------------------------------------

int MsgBoxLineHeight(int fontHeight, int externalLeading, const std::string& faceName) {
  std::string face = faceName;
  const auto notBlank = [](char c) { return c != ' ' && c != '\t'; };
  face.erase(face.begin(), std::find_if(face.begin(), face.end(), notBlank));
  face.erase(std::find_if(face.rbegin(), face.rend(), notBlank).base(), face.end());
  const int extra = UpperAscii(face) == "MS PGOTHIC" ? 1 : 0;
  return fontHeight + externalLeading + extra;
}

Extent MeasureMsgBoxText(const std::string& plain, int lineHeight, const LineWidthFn& lineWidth) {
  const std::string text = plain.empty() ? std::string(" ") : plain;
  Extent e{0, 0};
  std::size_t pos = 0;
  for (;;) {
    const std::size_t br = text.find("\r\n", pos);
    const std::string piece = text.substr(pos, br == std::string::npos ? std::string::npos : br - pos);
    const bool last = br == std::string::npos;
    // An empty piece is an empty line unless it is what follows a final CR LF.
    if (!piece.empty() || !last) {
      const int x = std::max(0, lineWidth(piece));
      e.width = std::max(e.width, x + 10);
      e.height += (x / kMaxTextWidth + 1) * lineHeight;
    }
    if (last) break;
    pos = br + 2;
  }
  e.width = std::min(e.width, kMaxTextWidth);
  return e;
}

int WidenForBold(const Extent& measured, const std::function<Extent(int width)>& sizeTo) {
  int widest = measured.width;
  for (int i = 0; i <= 20; ++i) {
    const int width = measured.width + 10 * i;
    const Extent wanted = sizeTo(width);
    if (wanted.height <= measured.height) return width;
    widest = std::max(widest, wanted.width);
  }
  sizeTo(widest + 10);
  return widest + 10;
}

Extent MsgBoxOuterSize(int w, int h, const Metrics& m) {
  const int hm = w < 200 ? 64 : 32;
  const int vm = h < 39 ? 45 : 32;
  const int width = std::max(kMinBoxWidth, w + kBandWidth + 2 * hm + 2 * m.cxFrame);
  const int height = h + kButtonBand + 2 * vm + 2 * m.cyFrame + m.cyCaption;
  return {width, height};
}

int MsgBoxTextHeightLimit(int workAreaHeight, const Metrics& m) {
  // A text this tall has the 32-pixel vertical margin of MsgBoxOuterSize.
  const int limit = workAreaHeight - (kButtonBand + 2 * 32 + 2 * m.cyFrame + m.cyCaption);
  return std::max(limit, 39);
}

Rect MsgBoxTextPlace(int cw, int ch, int w, int h) {
  const int left = (cw - kBandWidth - w) / 2 + kBandWidth;
  const int top = (ch - kButtonBand - h) / 2;
  return {left, top, w, ch - top - 39};
}

// ---- buttons ---------------------------------------------------------------

std::vector<ButtonSpec> ButtonSet(std::uint32_t flags) {
  switch (flags & kMbButtonSetMask) {
    case 0: return {{0, kIdOk}};
    case 1: return {{0, kIdOk}, {1, kIdCancel}};
    case 2: return {{4, kIdAbort}, {5, kIdRetry}, {6, kIdIgnore}};
    case 3: return {{2, kIdYes}, {3, kIdNo}, {1, kIdCancel}};
    case 4: return {{2, kIdYes}, {3, kIdNo}};
    case 5: return {{5, kIdRetry}, {1, kIdCancel}};
    default: return {};
  }
}

Rect ButtonPlace(int slot, int count, int cw, int ch) {
  const int left = cw - 80 - kButtonWidth * (count - 1 - slot);
  return {left, ch - 29, kButtonWidth, kButtonHeight};
}

int FocusSlot(int i, int count) {
  if (count <= 0) return -1;
  if (i < 0) i += count;
  return ((i % count) + count) % count;
}

int AltKeySlot(const std::vector<std::string>& captions, char ch) {
  int found = -1;
  for (int slot = static_cast<int>(captions.size()) - 1; slot >= 0; --slot) {
    const std::string& c = captions[slot];
    if (c.size() >= 2 && (c[1] == ch || c[1] == Upper(ch))) found = slot;
  }
  return found;
}

int LetterKeySlot(const std::vector<std::string>& captions, int virtualKey) {
  // Only the letter keys themselves: the numeric keypad and the function keys
  // have codes that read as lower-case letters and must not choose buttons.
  if (virtualKey < 'A' || virtualKey > 'Z') return -1;
  const char key = static_cast<char>(virtualKey);
  int found = -1;
  for (int slot = 0; slot < static_cast<int>(captions.size()); ++slot) {
    const std::string& c = captions[slot];
    const std::size_t amp = c.find('&');
    char mnemonic = 0;
    if (amp == std::string::npos) {
      if (!c.empty()) mnemonic = c[0];
    } else if (amp + 1 < c.size()) {
      mnemonic = c[amp + 1];
    }
    if (mnemonic && Upper(mnemonic) == key) found = slot;
  }
  return found;
}

}  // namespace kestro
