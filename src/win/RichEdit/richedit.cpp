#include "win/RichEdit/richedit.h"

#include <richedit.h>

#include <algorithm>

#include "core/Utils/ksub.h"
#include "win/RichEdit/modal_loop.h"
#include "win/RichEdit/riched_library.h"
#include "win/Utils/window_utils.h"

namespace kestro {

// ---- state -----------------------------------------------------------------
namespace {

constexpr int kTextFontHeight = 15;
// Tahoma, the message box's face, reads poorly in long texts at this size.
constexpr char kTextFace[] = "Verdana";
constexpr char kPlainFace[] = "Tahoma";
constexpr int kButtonWidth = 160;
constexpr int kButtonHeight = 25;
constexpr int kButtonBand = 43;  // band height below the text when there is a link
constexpr int kButtonFromBottom = 33;
constexpr int kTextLeft = 3;

struct FontOwner {
  HFONT font;
  explicit FontOwner(HFONT f) : font(f) {}
  ~FontOwner() {
    if (font) DeleteObject(font);
  }
  FontOwner(const FontOwner&) = delete;
  FontOwner& operator=(const FontOwner&) = delete;
};

struct TextBox {
  std::string link;
  HWND wnd = nullptr, text = nullptr, button = nullptr;
  bool done = false;
};

HFONT MakeFont(int height, int charset, const std::string& face) {
  return CreateFontA(height, 0, 0, 0, 0, FALSE, FALSE, FALSE, static_cast<BYTE>(charset), OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, face.c_str());
}

void Layout(const TextBox& b) {
  RECT rc;
  GetClientRect(b.wnd, &rc);
  const int cw = rc.right, ch = rc.bottom;
  if (b.text) MoveWindow(b.text, kTextLeft, 0, cw - kTextLeft, b.link.empty() ? ch : ch - kButtonBand, TRUE);
  if (b.button)
    MoveWindow(b.button, (cw - kButtonWidth) / 2, ch - kButtonFromBottom, kButtonWidth, kButtonHeight, TRUE);
}

void Paint(const TextBox& b) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(b.wnd, &ps);
  RECT rc;
  GetClientRect(b.wnd, &rc);
  FillRect(dc, &rc, GetSysColorBrush(COLOR_WINDOW));
  if (!b.link.empty()) {
    RECT line{0, rc.bottom - kButtonBand, rc.right, rc.bottom - kButtonBand + 1};
    FillRect(dc, &line, GetSysColorBrush(COLOR_3DDKSHADOW));
    RECT band{0, rc.bottom - kButtonBand + 1, rc.right, rc.bottom};
    FillRect(dc, &band, GetSysColorBrush(COLOR_BTNFACE));
  }
  EndPaint(b.wnd, &ps);
}

LRESULT CALLBACK TextBoxProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
    SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  auto* b = reinterpret_cast<TextBox*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
  if (!b) return DefWindowProcA(wnd, msg, wp, lp);
  switch (msg) {
    case WM_SIZE:
      Layout(*b);
      return 0;
    case WM_PAINT:
      Paint(*b);
      return 0;
    case WM_CTLCOLORSTATIC:  // the plain edit control used without the rich-edit library
      SetBkColor(reinterpret_cast<HDC>(wp), GetSysColor(COLOR_WINDOW));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    case WM_COMMAND:
      if (b->button && reinterpret_cast<HWND>(lp) == b->button) {
        ShellOpen(b->link);  // a link the shell cannot open is ignored
        PostMessageA(wnd, WM_CLOSE, 0, 0);
      }
      break;
    case WM_DESTROY:
      b->done = true;
      return 1;
    default:
      break;
  }
  return DefWindowProcA(wnd, msg, wp, lp);
}

int g_textBoxesUp = 0;

}  // namespace

// ---- showing ---------------------------------------------------------------

bool ShowTextBox(HWND owner, const std::string& title, const std::string& buttonCaption, int charset,
                 int pointSize, const std::string& fontFace, bool rightToLeft, int width, int height,
                 const std::string& link, const std::string& text) {
  TextBox b;
  b.link = SUB::Trim(link);
  if (text.empty()) {
    if (b.link.empty()) return false;
    ShellOpen(b.link);
    return true;
  }
  RichEditLibrary();
  const FontOwner buttonFont(MakeFont(-PointsToPixels(pointSize), charset, fontFace));
  const std::string textFace = !fontFace.empty() && fontFace != kPlainFace ? fontFace : kTextFace;
  const FontOwner textFont(MakeFont(kTextFontHeight, charset, textFace));
  if (!RegisterBoxClass(kTextBoxClass, TextBoxProc)) return true;
  if (owner && !IsWindow(owner)) owner = nullptr;  // a stale owner would stop the box
  ++g_textBoxesUp;
  // A size from settings made for a larger screen would centre the box above
  // and left of this one, its caption and link button out of reach.
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  width = std::min(width, screenWidth);
  height = std::min(height, screenHeight);
  b.wnd = CreateWindowExA(WS_EX_DLGMODALFRAME, kTextBoxClass, title.c_str(),
                          WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, (screenWidth - width) / 2,
                          (screenHeight - height) / 2, width, height, owner, nullptr, GetModuleHandleA(nullptr), &b);
  if (b.wnd) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_WANTRETURN | ES_READONLY | ES_MULTILINE;
    if (rightToLeft) style |= ES_RIGHT;
    b.text = CreateTextControl(b.wnd, style, rightToLeft ? WS_EX_RTLREADING : 0, RECT{0, 0, 10, 10}, nullptr,
                               textFont.font, text.size())
                 .wnd;
    if (b.text) SendMessageA(b.text, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (!b.link.empty()) {
      b.button = CreateWindowExA(0, "Button", buttonCaption.c_str(), WS_CHILD | WS_VISIBLE, 0, 0, kButtonWidth,
                                 kButtonHeight, b.wnd, nullptr, GetModuleHandleA(nullptr), nullptr);
      if (b.button) {
        SendMessageA(b.button, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont.font), FALSE);
        SetWindowLongPtrA(b.button, GWLP_USERDATA, 1);
      }
    }
    Layout(b);
    if (b.button) {
      SetFocus(b.button);
      SetActiveWindow(b.wnd);
      SendMessageA(b.button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    }
    const ModalEnd end = RunModalLoop(b.wnd, b.done);
    if (end.quit) PostQuitMessage(end.quitCode);
  }
  if (--g_textBoxesUp == 0) UnregisterClassA(kTextBoxClass, GetModuleHandleA(nullptr));
  return true;
}

}  // namespace kestro
