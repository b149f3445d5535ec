// Decisions of the markup message box that need no window: the front end's
// text and flags, the measuring and sizing arithmetic, the button sets and
// the keyboard rules. The Win32 box (win/KMsgBox) feeds them real metrics.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/LangRes0/lang_keys.h"

namespace kestro {

// Flags word; values are the platform's MB_* values where one exists.
constexpr std::uint32_t kMbButtonSetMask = 0x0000000F;
constexpr std::uint32_t kMbIconMask = 0x000000F0;
constexpr std::uint32_t kMbDefButtonMask = 0x00000F00;
constexpr std::uint32_t kMbRight = 0x00080000;
constexpr std::uint32_t kMbRtlReading = 0x00100000;
constexpr std::uint32_t kMbNoClose = 0x10000000;
constexpr std::uint32_t kMbAlwaysSet = 0x00052000;  // task-modal, foreground, top-most

// Result codes (IDOK ... IDNO); 0 = closed without a button.
enum MsgBoxResult { kNoButton = 0, kIdOk = 1, kIdCancel = 2, kIdAbort = 3, kIdRetry = 4,
                    kIdIgnore = 5, kIdYes = 6, kIdNo = 7 };

// Seven captions in the fixed order OK, Cancel, Yes, No, Abort, Retry, Ignore.
constexpr const char* kDefaultButtonList = lang::kButtons.def;
// Default titles of the wrappers: Error, Attention, Confirm.
extern const char kTitleList[];

// ---- front end ---------------------------------------------------------------

struct MsgBoxRequest {
  std::string text;
  std::uint32_t flags;
};

// Mode 0 puts the title into the text as a bold heading (upper-cased when it
// is one of the built-in titles), mode 2 greys Close, character sets 177 and
// 178 switch to right-to-left; modes above 2 are owner handles.
MsgBoxRequest PrepareMsgBox(std::uintptr_t modeOrOwner, const std::string& text,
                            const std::string& title, std::uint32_t flags, int charset);

// ---- measuring and sizing ------------------------------------------------------

constexpr int kMaxTextWidth = 600;
constexpr int kMinBoxWidth = 360;
constexpr int kBandWidth = 54;      // coloured band on the left
constexpr int kButtonBand = 36;     // band along the bottom

struct Extent {
  int width;
  int height;
  bool operator==(const Extent& o) const { return width == o.width && height == o.height; }
};

struct Rect {
  int left, top, width, height;
};

// Pixel width of one line in the box font.
using LineWidthFn = std::function<int(const std::string& line)>;

// Line height of the box font: height plus external leading, one pixel more
// for "MS PGothic" whose descenders the leading does not cover.
int MsgBoxLineHeight(int fontHeight, int externalLeading, const std::string& faceName);

// Width W (at most 600) and height H of the plain text; lines wider than
// 600 pixels count as several lines.
Extent MeasureMsgBoxText(const std::string& plain, int lineHeight, const LineWidthFn& lineWidth);

// Bold text is wider than the measurement assumed: widens the control in
// 10-pixel steps until its content fits the height. sizeTo(width) sizes the
// control and returns the content extent the control then asks for.
int WidenForBold(const Extent& measured, const std::function<Extent(int width)>& sizeTo);

struct Metrics {
  int cxFrame, cyFrame, cyCaption;
};

// Outer size of the box for a text control of w x h.
Extent MsgBoxOuterSize(int w, int h, const Metrics& m);

// Tallest text control whose box still fits a work area of the given height
// (at least 39). A taller text would push the box, its question and its
// buttons off the top of the screen; the box shows that much and scrolls.
int MsgBoxTextHeightLimit(int workAreaHeight, const Metrics& m);

// Place of the text control in a client area of cw x ch.
Rect MsgBoxTextPlace(int cw, int ch, int w, int h);

// ---- buttons ---------------------------------------------------------------

struct ButtonSpec {
  int listItem;  // index into the button list
  int code;      // result code
};

// Buttons of a set (flags & 0xF), leftmost first; sets 6..15 have none.
std::vector<ButtonSpec> ButtonSet(std::uint32_t flags);

constexpr int kButtonWidth = 70;
constexpr int kButtonHeight = 23;

// Place of the button in slot (0 = leftmost) of count buttons.
Rect ButtonPlace(int slot, int count, int cw, int ch);

// Index i taken modulo the button count (negative i wraps from the end).
int FocusSlot(int i, int count);

// Alt+character: slot whose caption's second character matches, the
// leftmost on ties; -1 when none.
int AltKeySlot(const std::vector<std::string>& captions, char ch);

// Plain letter key (virtual-key code 'A'..'Z'): slot whose caption carries that
// letter after its first "&", or starts with it when it has no "&"; the
// rightmost on ties; -1 when none.
int LetterKeySlot(const std::vector<std::string>& captions, int virtualKey);

}  // namespace kestro
