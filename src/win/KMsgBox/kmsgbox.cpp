#include "win/KMsgBox/kmsgbox.h"

#include <windows.h>
#include <richedit.h>

#include <vector>

#include "core/Utils/ksub.h"
#include "core/KMsgBox/markup.h"
#include "core/KMsgBox/msgbox_rules.h"
#include "win/RichEdit/modal_loop.h"
#include "win/RichEdit/riched_library.h"
#include "win/Utils/developer_mode.h"
#include "win/Utils/utils.h"
#include "win/Utils/window_utils.h"

namespace kestro {

// ---- state -----------------------------------------------------------------
namespace {

constexpr UINT_PTR kTimeoutTimer = 1;
constexpr int kTextControlId = 100;
constexpr int kFirstButtonId = 200;
constexpr COLORREF kBandColour = RGB(0, 78, 152);
// The agent's "store the new entry" question is moved aside in developer
// mode so the window it asks about stays visible.
constexpr char kDeveloperShiftText[] = "Do you want to store the new Entry in";
constexpr int kDeveloperShift = 150;

struct FontSettings {
  std::string face = "Tahoma";
  int charset = DEFAULT_CHARSET;
  int points = 8;
};
FontSettings g_font;

// One showing. Lives on the stack of RunBox; the window reaches it through
// its user data, so a box shown from inside another box keeps both intact.
struct Box {
  HFONT font = nullptr;
  HWND prev = nullptr;
  HWND wnd = nullptr;
  HWND text = nullptr;
  HWND buttons[3] = {};
  std::vector<std::string> captions;  // by slot, leftmost first
  std::vector<int> codes;
  int result = kNoButton;
  UINT timeout = 0;
  LPCSTR icon = nullptr;  // system icon id; null = the program's own icon
  SIZE requested{};
  bool done = false;
  bool quit = false;  // a quit message ended the loop
  int quitCode = 0;
  bool noClose = false;
  bool prevRestored = false;  // WM_CLOSE gave the previous window back its input
  int focused = 0;
};
int g_boxesUp = 0;

Box* BoxOf(HWND wnd) { return reinterpret_cast<Box*>(GetWindowLongPtrA(wnd, GWLP_USERDATA)); }

int ButtonCount(const Box& b) { return static_cast<int>(b.codes.size()); }

int SlotOf(const Box& b, HWND wnd) {
  for (int i = 0; i < ButtonCount(b); ++i)
    if (wnd && b.buttons[i] == wnd) return i;
  return -1;
}

// ---- buttons and keys ------------------------------------------------------

void FocusButton(Box& b, int index) {
  const int slot = FocusSlot(index, ButtonCount(b));
  if (slot < 0) return;
  b.focused = slot;
  SetFocus(b.buttons[slot]);
  SetActiveWindow(b.wnd);
  for (int i = 0; i < ButtonCount(b); ++i)
    SendMessageA(b.buttons[i], BM_SETSTYLE, i == slot ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void Choose(Box& b, int slot) {
  b.result = b.codes[slot];
  PostMessageA(b.wnd, WM_CLOSE, 0, 0);
}

int FocusedSlot(const Box& b) {
  const int s = SlotOf(b, GetFocus());
  return s >= 0 ? s : b.focused;
}

// Applied to every message of the modal loop; true when the message chose a
// button and must not be dispatched.
bool FilterKey(Box& b, const MSG& m) {
  if (m.message == WM_SYSCHAR) {
    // Captions in Cyrillic or Greek carry capitals outside ASCII; Alt with
    // their key makes the small letter, which only the code page's case
    // mapping turns into the capital. The leftmost match of either wins.
    const char ch = static_cast<char>(m.wParam);
    char upper = ch;
    CharUpperBuffA(&upper, 1);
    const int asTyped = AltKeySlot(b.captions, ch);
    const int asUpper = AltKeySlot(b.captions, upper);
    const int s = asTyped < 0 || (asUpper >= 0 && asUpper < asTyped) ? asUpper : asTyped;
    if (s < 0) return false;
    Choose(b, s);
    return true;
  }
  if (m.message != WM_KEYDOWN) return false;
  switch (m.wParam) {
    case VK_LEFT:
    case VK_UP:
      FocusButton(b, FocusedSlot(b) - 1);
      return false;
    case VK_TAB:
    case VK_RIGHT:
    case VK_DOWN:
      FocusButton(b, FocusedSlot(b) + 1);
      return false;
    case VK_RETURN: {
      const int s = SlotOf(b, GetFocus());
      if (s < 0) return false;
      Choose(b, s);
      return true;
    }
    case VK_ESCAPE:
      PostMessageA(b.wnd, WM_CLOSE, 0, 0);
      return false;
    default: {
      const int s = LetterKeySlot(b.captions, static_cast<int>(m.wParam));
      if (s < 0) return false;
      Choose(b, s);
      return true;
    }
  }
}

void CreateButtons(Box& b, std::uint32_t flags, const std::string& buttonList, int cw, int ch) {
  const std::vector<ButtonSpec> set = ButtonSet(flags);
  const int n = static_cast<int>(set.size());
  for (const ButtonSpec& s : set) {
    b.captions.push_back(SUB::GetItem(buttonList, s.listItem));
    b.codes.push_back(s.code);
  }
  for (int slot = n - 1; slot >= 0; --slot) {
    const Rect r = ButtonPlace(slot, n, cw, ch);
    HWND btn = CreateWindowExA(0, "Button", b.captions[slot].c_str(), WS_CHILD | WS_VISIBLE,
                               r.left, r.top, r.width, r.height, b.wnd,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstButtonId + slot)),
                               GetModuleHandleA(nullptr), nullptr);
    b.buttons[slot] = btn;
    if (!btn) continue;
    SendMessageA(btn, WM_SETFONT, reinterpret_cast<WPARAM>(b.font), FALSE);
    SetWindowLongPtrA(btn, GWLP_USERDATA, b.codes[slot]);
  }
  FocusButton(b, static_cast<int>((flags & kMbDefButtonMask) >> 8));
}

// ---- the text --------------------------------------------------------------

LPCSTR IconFor(std::uint32_t flags) {
  switch (flags & kMbIconMask) {
    case 0x10: return IDI_HAND;
    case 0x20: return IDI_QUESTION;
    case 0x30: return IDI_EXCLAMATION;
    case 0x40: return IDI_ASTERISK;
    default: return nullptr;
  }
}

// The text with its bold runs; without the rich-edit library the plain
// control shows the text without bold.
HWND CreateMessageText(Box& b, std::uint32_t flags, const PlainText& plain, bool& rich, DWORD extraStyle = 0) {
  DWORD style = WS_CHILD | WS_VISIBLE | ES_WANTRETURN | ES_READONLY | ES_MULTILINE | extraStyle;
  if (flags & kMbRight) style |= ES_RIGHT;
  const DWORD exStyle = (flags & kMbRtlReading) ? WS_EX_RTLREADING : 0;
  const TextControl tc = CreateTextControl(b.wnd, style, exStyle, RECT{86, 30, 186, 43},
                                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextControlId)), b.font,
                                           plain.text.size());
  HWND t = tc.wnd;
  rich = tc.rich;
  if (!t) return nullptr;
  SetWindowTextA(t, plain.text.c_str());
  if (rich) {
    for (const BoldRun& run : plain.bold) {
      CHARRANGE cr{static_cast<LONG>(run.start), static_cast<LONG>(run.end)};
      SendMessageA(t, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
      CHARFORMATA cf{};
      cf.cbSize = sizeof cf;
      cf.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
      cf.dwEffects = CFE_BOLD;
      SendMessageA(t, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    }
    CHARRANGE start{0, 0};
    SendMessageA(t, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
  }
  return t;
}

Extent MeasureInControl(HWND t, HFONT font, const std::string& text) {
  HDC dc = GetDC(t);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  const int lineHeight = MsgBoxLineHeight(tm.tmHeight, tm.tmExternalLeading, g_font.face);
  // Tabs are measured expanded, as the control shows them; the tabbed
  // extent is 16 bits wide, so very long lines take the plain extent.
  const auto lineWidth = [dc](const std::string& line) {
    const int n = static_cast<int>(line.size());
    if (n < 2000) return static_cast<int>(LOWORD(GetTabbedTextExtentA(dc, line.c_str(), n, 0, nullptr)));
    SIZE sz{};
    GetTextExtentPoint32A(dc, line.c_str(), n, &sz);
    return static_cast<int>(sz.cx);
  };
  const Extent e = MeasureMsgBoxText(text, lineHeight, lineWidth);
  SelectObject(dc, old);
  ReleaseDC(t, dc);
  return e;
}

// Sizes the control and returns the content extent it asks for.
Extent SizeTextControl(Box& b, int width, int height) {
  b.requested = SIZE{0, 0};
  SetWindowPos(b.text, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageA(b.text, EM_REQUESTRESIZE, 0, 0);
  return {static_cast<int>(b.requested.cx), static_cast<int>(b.requested.cy)};
}

// Fits the text control to its content; returns its size.
Extent FitTextControl(Box& b, const PlainText& plain, bool rich) {
  const Extent m = MeasureInControl(b.text, b.font, plain.text);
  Extent size{m.width + 10, m.height};
  SizeTextControl(b, size.width, size.height);
  if (!rich) return size;
  if (!plain.bold.empty())
    size.width = WidenForBold(m, [&](int width) { return SizeTextControl(b, width, m.height); });
  // Words wrap where the measurement could not know; a box that cuts its
  // last line off hides part of the question, so take the height the
  // control asks for when it is more.
  const Extent wanted = SizeTextControl(b, size.width, size.height);
  if (wanted.height > size.height) {
    size.height = wanted.height;
    SizeTextControl(b, size.width, size.height);
  }
  return size;
}

// ---- window ----------------------------------------------------------------

void Paint(const Box& b, HWND wnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(wnd, &ps);
  RECT rc;
  GetClientRect(wnd, &rc);
  const int cw = rc.right, ch = rc.bottom;
  FillRect(dc, &rc, GetSysColorBrush(COLOR_WINDOW));
  RECT line{0, ch - 37, cw, ch - 36};
  FillRect(dc, &line, GetSysColorBrush(COLOR_3DDKSHADOW));
  line = RECT{0, ch - 36, cw, ch - 35};
  FillRect(dc, &line, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  RECT band{0, ch - 35, cw, ch};
  FillRect(dc, &band, GetSysColorBrush(COLOR_BTNFACE));
  HBRUSH blue = CreateSolidBrush(kBandColour);
  RECT left{0, 0, kBandWidth, ch - 37};
  FillRect(dc, &left, blue);
  DeleteObject(blue);
  HICON icon = b.icon ? LoadIconA(nullptr, b.icon) : LoadIconA(GetModuleHandleA(nullptr), "MainIcon");
  if (!icon) icon = LoadIconA(nullptr, IDI_APPLICATION);
  DrawIcon(dc, 11, 20, icon);
  EndPaint(wnd, &ps);
}

LRESULT CALLBACK BoxProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
    SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  Box* b = BoxOf(wnd);
  if (!b) return DefWindowProcA(wnd, msg, wp, lp);
  const UINT autoPlay = AutoPlayMessage();
  if (autoPlay != 0 && msg == autoPlay) return 1;
  switch (msg) {
    case WM_CREATE:
      if (b->timeout > 0) SetTimer(wnd, kTimeoutTimer, b->timeout, nullptr);
      break;
    case WM_PAINT:
      Paint(*b, wnd);
      return 0;
    case WM_CTLCOLORSTATIC:  // the plain edit control of the fallback
      SetBkColor(reinterpret_cast<HDC>(wp), GetSysColor(COLOR_WINDOW));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    case WM_NOTIFY: {
      const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
      if (hdr->code == EN_REQUESTRESIZE) {
        const RECT& r = reinterpret_cast<const REQRESIZE*>(lp)->rc;
        b->requested = SIZE{r.right - r.left, r.bottom - r.top};
      }
      break;
    }
    case WM_COMMAND: {
      const int s = SlotOf(*b, reinterpret_cast<HWND>(lp));
      if (s >= 0) Choose(*b, s);
      break;
    }
    case WM_TIMER:
      if (wp == kTimeoutTimer) {
        b->result = b->codes.empty() ? kNoButton : b->codes[0];
        PostMessageA(wnd, WM_CLOSE, 0, 0);
      }
      break;
    case WM_SYSCOMMAND:
      // A greyed Close item must also stop Alt+F4 and a sent SC_CLOSE.
      if ((wp & 0xFFF0) == SC_CLOSE && b->noClose) return 0;
      break;
    case WM_CLOSE:
      if (b->prev && IsWindow(b->prev)) {
        EnableWindow(b->prev, TRUE);
        SetActiveWindow(b->prev);
        SetFocus(b->prev);
      }
      b->prevRestored = true;
      if (b->timeout > 0) KillTimer(wnd, kTimeoutTimer);
      break;
    case WM_DESTROY:
      // A box taken down with its owner never sees WM_CLOSE; the window it
      // disabled must not stay dead to input.
      if (!b->prevRestored && b->prev && IsWindow(b->prev)) EnableWindow(b->prev, TRUE);
      if (b->font) DeleteObject(b->font);
      b->font = nullptr;
      b->done = true;
      return 1;
    default:
      break;
  }
  return DefWindowProcA(wnd, msg, wp, lp);
}

Metrics BoxMetrics() {
  return {GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME), GetSystemMetrics(SM_CYCAPTION)};
}

int WorkAreaHeight() {
  const RECT work = WorkArea();
  return work.bottom - work.top;
}

// A text taller than the screen shows as much as fits and scrolls: the box
// sized to the whole text would sit above the top of the screen, out of
// sight with its buttons.
Extent LimitTextHeight(Box& b, std::uint32_t flags, const PlainText& plain, Extent text) {
  const int tallest = MsgBoxTextHeightLimit(WorkAreaHeight(), BoxMetrics());
  if (!b.text || text.height <= tallest) return text;
  DestroyWindow(b.text);
  bool rich = false;
  b.text = CreateMessageText(b, flags, plain, rich, WS_VSCROLL);
  return {text.width + GetSystemMetrics(SM_CXVSCROLL), tallest};
}

void PlaceBox(Box& b, const Extent& text, const std::string& plain) {
  const Extent outer = MsgBoxOuterSize(text.width, text.height, BoxMetrics());
  RECT r = CenterInWorkArea(outer.width, outer.height);
  if (plain.find(kDeveloperShiftText) != std::string::npos && IsDeveloperMode())
    OffsetRect(&r, kDeveloperShift, kDeveloperShift);
  SetWindowPos(b.wnd, nullptr, r.left, r.top, outer.width, outer.height, SWP_NOZORDER | SWP_SHOWWINDOW);
}

int RunBox(Box& b, HWND owner, const std::string& markup, const std::string& title, int timeoutMs,
           std::uint32_t flags, const std::string& buttonList) {
  RichEditLibrary();
  b.prev = GetActiveWindow();
  if (b.prev) EnableWindow(b.prev, FALSE);
  b.timeout = timeoutMs > 0 ? static_cast<UINT>(timeoutMs) : 0;
  b.font = CreateFontA(-PointsToPixels(g_font.points), 0, 0, 0, 0, FALSE, FALSE, FALSE,
                       static_cast<BYTE>(g_font.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, FF_SWISS, g_font.face.c_str());
  const RichEditReference library;
  if (owner && !IsWindow(owner)) owner = nullptr;  // a stale owner would stop the box
  if (RegisterBoxClass(kMsgBoxClass, BoxProc))
    b.wnd = CreateWindowExA(WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, kMsgBoxClass, title.c_str(),
                            WS_VISIBLE | WS_CAPTION | WS_SYSMENU, -100, -100, 10, 10, owner, nullptr,
                            GetModuleHandleA(nullptr), &b);
  if (!b.wnd) {
    if (b.font) DeleteObject(b.font);
    if (b.prev) EnableWindow(b.prev, TRUE);
    return kNoButton;
  }
  ++g_boxesUp;
  if (flags & kMbNoClose) {
    b.noClose = true;
    EnableMenuItem(GetSystemMenu(b.wnd, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  }
  const PlainText plain = ParseMarkup(markup);
  bool rich = false;
  b.text = CreateMessageText(b, flags, plain, rich);
  Extent text{kMinBoxWidth / 2, 13};
  if (b.text) text = FitTextControl(b, plain, rich);
  text = LimitTextHeight(b, flags, plain, text);
  PlaceBox(b, text, plain.text);
  RECT rc;
  GetClientRect(b.wnd, &rc);
  if (b.text) {
    const Rect place = MsgBoxTextPlace(rc.right, rc.bottom, text.width, text.height);
    MoveWindow(b.text, place.left, place.top, place.width, place.height, TRUE);
    ShowWindow(b.text, SW_SHOW);
  }
  b.icon = IconFor(flags);
  CreateButtons(b, flags, buttonList, rc.right, rc.bottom);
  const ModalEnd end = RunModalLoop(b.wnd, b.done, [&b](const MSG& m) { return FilterKey(b, m); });
  b.quit = end.quit;
  b.quitCode = end.quitCode;
  if (--g_boxesUp == 0) UnregisterClassA(kMsgBoxClass, GetModuleHandleA(nullptr));
  return b.result;
}

}  // namespace

// ---- front end -------------------------------------------------------------

void SetMsgBoxFont(const std::string& faceName, int pointSize, int charset) {
  g_font.face = faceName;
  g_font.charset = charset;
  if (pointSize != 0) g_font.points = pointSize;
}

int ShowMsgBox(MsgBoxOwner modeOrOwner, const std::string& text, const std::string& title,
               int timeoutMs, std::uint32_t flags, int charset, const std::string& buttonList) {
  const std::uintptr_t mode = modeOrOwner.value;
  const MsgBoxRequest req = PrepareMsgBox(mode, text, title, flags, charset);
  HWND owner = mode <= 2 ? GetActiveWindow() : reinterpret_cast<HWND>(mode);
  Box b;
  const int result = RunBox(b, owner, req.text, title, timeoutMs, req.flags, buttonList);
  if (b.quit) {
    // The program is ending: no settling pump, which would swallow the quit.
    PostQuitMessage(b.quitCode);
  } else {
    WaitWithMessages(100, 10);
  }
  return result;
}

namespace {

std::string OrDefault(const std::string& s, const std::string& def) { return s.empty() ? def : s; }
std::string DefaultTitle(int item) { return SUB::GetItem(kTitleList, item); }

}  // namespace

void MsgBoxError(MsgBoxOwner modeOrOwner, const std::string& text, const std::string& title,
                 int charset, const std::string& buttonList) {
  ShowMsgBox(modeOrOwner, text, OrDefault(title, DefaultTitle(0)), 0, 0x10, charset,
             OrDefault(buttonList, kDefaultButtonList));
}

void MsgBoxAttention(MsgBoxOwner modeOrOwner, const std::string& text, const std::string& title,
                     int timeoutMs, int charset, const std::string& buttonList) {
  ShowMsgBox(modeOrOwner, text, OrDefault(title, DefaultTitle(1)), timeoutMs, 0x30, charset,
             OrDefault(buttonList, kDefaultButtonList));
}

bool MsgBoxConfirm(MsgBoxOwner modeOrOwner, const std::string& text, const std::string& title,
                   int timeoutMs, int charset, const std::string& buttonList) {
  return ShowMsgBox(modeOrOwner, text, OrDefault(title, DefaultTitle(2)), timeoutMs, 0x24, charset,
                    OrDefault(buttonList, kDefaultButtonList)) == kIdYes;
}

bool MsgBoxOkCancel(MsgBoxOwner modeOrOwner, const std::string& text, const std::string& title,
                    int charset, const std::string& buttonList) {
  return ShowMsgBox(modeOrOwner, text, OrDefault(title, DefaultTitle(2)), 0, 0x21, charset,
                    OrDefault(buttonList, kDefaultButtonList)) == kIdOk;
}

}  // namespace kestro
