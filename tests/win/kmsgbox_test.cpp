// The message box on a real display: real windows, answered with real
// keyboard and mouse input from a second thread while the test's thread runs
// the box's modal loop.
#include "win/KMsgBox/kmsgbox.h"

#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include "core/KMsgBox/msgbox_rules.h"
#include "../support/test_paths.h"
#include "../support/child_process.h"
#include "../support/ui_driver.h"
#include "win/Utils/utils.h"

namespace kestro {
namespace {

using ktest::ChildrenLeftToRight;
using ktest::PressAltKey;
using ktest::PressKey;
using ktest::WindowDriver;
using ktest::WindowText;

const std::string kButtons = kDefaultButtonList;

// Shows a box while action(box) runs on the driver thread.
int AnswerBox(std::function<void(HWND)> action, MsgBoxOwner mode, std::uint32_t flags,
              const std::string& buttons = kButtons, int timeoutMs = 0, int charset = 0,
              const std::string& text = "Do you want to continue?") {
  WindowDriver driver(kMsgBoxClass, "Button", [&](HWND box) {
    ktest::BringToFront(box);
    action(box);
  });
  return ShowMsgBox(mode, text, "Confirm", timeoutMs, flags, charset, buttons);
}

TEST(MsgBoxInput, KeysChooseButtons) {
  const struct {
    const char* name;
    std::function<void(HWND)> keys;
    std::uint32_t flags;
    int want;
  } cases[] = {
      {"N chooses No", [](HWND) { PressKey('N'); }, 0x24, kIdNo},
      {"Y chooses Yes", [](HWND) { PressKey('Y'); }, 0x24, kIdYes},
      {"Alt+Y chooses Yes", [](HWND) { PressAltKey('Y'); }, 0x24, kIdYes},
      {"Alt+N chooses No", [](HWND) { PressAltKey('N'); }, 0x24, kIdNo},
      {"Enter takes the default button", [](HWND) { PressKey(VK_RETURN); }, 0x124, kIdNo},
      {"right arrow then Enter", [](HWND) { PressKey(VK_RIGHT); PressKey(VK_RETURN); }, 0x24, kIdNo},
      {"Tab wraps to the first", [](HWND) { PressKey(VK_TAB); PressKey(VK_RETURN); }, 0x124, kIdYes},
      {"left arrow wraps to the last",
       [](HWND) { PressKey(VK_LEFT); PressKey(VK_RETURN); }, 0x23, kIdCancel},
      {"Escape closes with 0", [](HWND) { PressKey(VK_ESCAPE); }, 0x24, kNoButton},
      {"Alt+F4 closes with 0", [](HWND) { PressAltKey(VK_F4); }, 0x24, kNoButton},
      {"R in Abort/Retry/Ignore", [](HWND) { PressKey('R'); }, 0x32, kIdRetry},
      {"a key no caption carries does nothing",
       [](HWND) { PressKey('Q'); PressKey(VK_F1); PressKey('O'); }, 0x21, kIdOk},
  };
  for (const auto& c : cases) EXPECT_EQ(AnswerBox(c.keys, 1, c.flags), c.want) << c.name;
}

TEST(MsgBoxInput, AltWithACodePageLetterMatchesItsUpperCase) {
  // A translated caption such as Cyrillic "&\xC4\xE0" is written with a
  // capital; Alt with that key makes the small letter. The virtual display's
  // US layout cannot type such a letter, so the character message Alt+\xE9
  // makes is posted into the box's queue, where the keyboard filter takes it.
  const std::string list = "|&OK|&Cancel|&Oui|&\xC9lan|&Abort|&Retry|&Ignore|";
  const int got = AnswerBox([](HWND box) { PostMessageA(box, WM_SYSCHAR, 0xE9, 1 << 29); }, 1, 0x24, list, 3000);
  EXPECT_EQ(got, kIdNo);  // a time-out would give Yes
}

TEST(MsgBoxInput, MouseClickOnNo) {
  const int got = AnswerBox([](HWND box) { ktest::ClickWindow(ChildrenLeftToRight(box, "Button")[1]); },
                            0, 0x24);
  EXPECT_EQ(got, kIdNo);
}

TEST(MsgBoxInput, WrappersAnswerTrueOnlyForTheirButton) {
  {
    WindowDriver d(kMsgBoxClass, "Button", [](HWND) { PressAltKey('Y'); });
    EXPECT_TRUE(MsgBoxConfirm(0, "Install now?", "", 0, 0, ""));
  }
  {
    WindowDriver d(kMsgBoxClass, "Button", [](HWND) { PressKey(VK_ESCAPE); });
    EXPECT_FALSE(MsgBoxConfirm(0, "Install now?", "", 0, 0, ""));
  }
  {
    WindowDriver d(kMsgBoxClass, "Button", [](HWND) { PressKey(VK_RETURN); });
    EXPECT_TRUE(MsgBoxOkCancel(1, "Go on?", "", 0, ""));
  }
  {
    WindowDriver d(kMsgBoxClass, "Button", [](HWND) { PressKey('C'); });
    EXPECT_FALSE(MsgBoxOkCancel(1, "Go on?", "", 0, ""));
  }
}

TEST(MsgBoxInput, ModeTwoGreysCloseButEscapeStillWorks) {
  UINT closeState = 0;
  bool upAfterAltF4 = false;
  const int got = AnswerBox(
      [&](HWND box) {
        closeState = GetMenuState(GetSystemMenu(box, FALSE), SC_CLOSE, MF_BYCOMMAND);
        PressAltKey(VK_F4);
        PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
        Sleep(300);
        upAfterAltF4 = IsWindow(box) && IsWindowVisible(box);
        PressKey(VK_ESCAPE);
      },
      2, 0x24);
  EXPECT_TRUE(closeState & MF_GRAYED);
  EXPECT_TRUE(upAfterAltF4);
  EXPECT_EQ(got, kNoButton);
}

TEST(MsgBoxTimeout, ReturnsTheLeftmostButton) {
  const struct {
    std::uint32_t flags;
    int want;
  } cases[] = {{0x24, kIdYes}, {0x21, kIdOk}, {0x35, kIdRetry}, {0x06, kNoButton}};
  for (const auto& c : cases) {
    const DWORD start = GetTickCount();
    EXPECT_EQ(ShowMsgBox(1, "Closing by itself", "", 300, c.flags, 0, kButtons), c.want) << c.flags;
    EXPECT_LT(GetTickCount() - start, 5000u);
  }
}

TEST(MsgBoxButtons, TranslatedListKeepsItsOrder) {
  const std::string turkish = "|&Tamam|&Iptal|&Evet|&Hayir|&Durdur|&Yeniden|&Yoksay|";
  std::vector<std::string> captions;
  const int got = AnswerBox(
      [&](HWND box) {
        for (HWND b : ChildrenLeftToRight(box, "Button")) captions.push_back(WindowText(b));
        PressKey('I');
      },
      1, 0x23, turkish);
  EXPECT_EQ(captions, (std::vector<std::string>{"&Evet", "&Hayir", "&Iptal"}));
  EXPECT_EQ(got, kIdCancel);
}

// ---- layout ------------------------------------------------------------------

struct Layout {
  RECT box{}, client{}, text{};
  std::vector<RECT> buttons;  // client coordinates, left to right
  LONG textStyle = 0, textExStyle = 0;
  bool textScrolls = false;  // the text is longer than its control shows
  HWND owner = nullptr;
  bool headingBold = false, bodyBold = true;
  std::string title;
};

bool RangeIsBold(HWND text, LONG from, LONG to) {
  CHARRANGE cr{from, to};
  SendMessageA(text, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
  CHARFORMATA cf{};
  cf.cbSize = sizeof cf;
  SendMessageA(text, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  return (cf.dwMask & CFM_BOLD) && (cf.dwEffects & CFE_BOLD);
}

Layout ShowAndMeasure(MsgBoxOwner mode, const std::string& text, std::uint32_t flags, int charset = 0) {
  Layout l;
  WindowDriver d(kMsgBoxClass, "Button", [&](HWND box) {
    GetWindowRect(box, &l.box);
    GetClientRect(box, &l.client);
    l.title = WindowText(box);
    l.owner = GetWindow(box, GW_OWNER);
    HWND t = FindWindowExA(box, nullptr, "RICHEDIT", nullptr);
    if (t) {
      l.text = ktest::RectInParent(t, box);
      l.textStyle = GetWindowLongA(t, GWL_STYLE);
      l.textExStyle = GetWindowLongA(t, GWL_EXSTYLE);
      l.headingBold = RangeIsBold(t, 0, 7);
      l.bodyBold = RangeIsBold(t, 11, 15);
      SCROLLINFO si{};
      si.cbSize = sizeof si;
      si.fMask = SIF_RANGE | SIF_PAGE;
      l.textScrolls = GetScrollInfo(t, SB_VERT, &si) && si.nPage > 0 &&
                      si.nMax - si.nMin + 1 > static_cast<int>(si.nPage);
    }
    for (HWND b : ChildrenLeftToRight(box, "Button")) l.buttons.push_back(ktest::RectInParent(b, box));
    PressKey(VK_ESCAPE);
  });
  ShowMsgBox(mode, text, "Confirm", 0, flags, charset, kButtons);
  return l;
}

TEST(MsgBoxLayout, EmptyTextGivesTheMinimumWidth) {
  const Layout l = ShowAndMeasure(1, "", 0x10);
  EXPECT_EQ(l.box.right - l.box.left, kMinBoxWidth);
  ASSERT_EQ(l.buttons.size(), 1u);
  EXPECT_EQ(l.buttons[0].left, l.client.right - 80);
}

TEST(MsgBoxLayout, ButtonsTouchAndSitInTheBand) {
  const Layout l = ShowAndMeasure(1, "Abort, retry or ignore?", 0x32);
  ASSERT_EQ(l.buttons.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(l.buttons[i].left, l.client.right - 80 - 70 * (2 - static_cast<LONG>(i))) << i;
    EXPECT_EQ(l.buttons[i].top, l.client.bottom - 29) << i;
    EXPECT_EQ(l.buttons[i].right - l.buttons[i].left, 70) << i;
    EXPECT_EQ(l.buttons[i].bottom - l.buttons[i].top, 23) << i;
  }
}

TEST(MsgBoxLayout, LongLinesWrapWithinSixHundredPixels) {
  std::string line;
  for (int i = 0; i < 60; ++i) line += "wrapping words ";
  const Layout l = ShowAndMeasure(1, line, 0x40);
  EXPECT_LE(l.text.right - l.text.left, 610);
  EXPECT_GT(l.text.bottom - l.text.top, 3 * 13);  // several lines, not one
  EXPECT_LE(l.text.right, l.client.right);
}

TEST(MsgBoxLayout, TallTextScrollsInsideTheWorkArea) {
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  std::string lines;
  for (int i = 0; i < 200; ++i) lines += "Line " + std::to_string(i) + "<P>";
  const Layout tall = ShowAndMeasure(0, lines, 0x10);
  EXPECT_GE(tall.box.top, work.top);
  EXPECT_LE(tall.box.bottom, work.bottom);
  EXPECT_GE(tall.text.top, 0);  // the heading is in sight
  EXPECT_LE(tall.text.bottom, tall.client.bottom - 36);
  EXPECT_TRUE(tall.textStyle & WS_VSCROLL);
  EXPECT_TRUE(tall.textScrolls);
  EXPECT_TRUE(tall.headingBold);
  EXPECT_FALSE(ShowAndMeasure(0, "Line<P>Line", 0x10).textStyle & WS_VSCROLL);
}

TEST(MsgBoxLayout, ModeZeroHeadingIsBoldAndUpperCase) {
  const Layout l = ShowAndMeasure(0, "Body text", 0x24);
  EXPECT_EQ(l.title, "Confirm");
  EXPECT_TRUE(l.headingBold);   // "CONFIRM"
  EXPECT_FALSE(l.bodyBold);     // "Body"
}

TEST(MsgBoxLayout, HebrewAndArabicReadRightToLeft) {
  for (int charset : {177, 178}) {
    const Layout l = ShowAndMeasure(1, "rtl", 0, charset);
    EXPECT_TRUE(l.textStyle & ES_RIGHT) << charset;
    EXPECT_TRUE(l.textExStyle & WS_EX_RTLREADING) << charset;
  }
  const Layout ltr = ShowAndMeasure(1, "ltr", 0, 238);
  EXPECT_FALSE(ltr.textStyle & ES_RIGHT);
  EXPECT_FALSE(ltr.textExStyle & WS_EX_RTLREADING);
}

// ---- owners ------------------------------------------------------------------

TEST(MsgBoxOwners, ActiveWindowIsDisabledWhileTheBoxIsUp) {
  HWND main = CreateWindowExA(0, "STATIC", "main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100,
                              nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(main, nullptr);
  SetActiveWindow(main);
  const struct {
    MsgBoxOwner mode;
    const char* name;
  } cases[] = {{1, "mode 1"}, {MsgBoxOwner(main), "owner handle"}};
  for (const auto& c : cases) {
    bool enabledDuring = true;
    HWND owner = nullptr;
    WindowDriver d(kMsgBoxClass, "Button", [&](HWND box) {
      enabledDuring = IsWindowEnabled(main);
      owner = GetWindow(box, GW_OWNER);
      PressKey(VK_ESCAPE);
    });
    ShowMsgBox(c.mode, "owned", "", 0, 0, 0, kButtons);
    EXPECT_FALSE(enabledDuring) << c.name;
    EXPECT_EQ(owner, main) << c.name;
    EXPECT_TRUE(IsWindowEnabled(main)) << c.name;
  }
  DestroyWindow(main);
}

TEST(MsgBoxOwners, ClosingTheOwnerGivesThePreviousWindowBackItsInput) {
  HWND main = CreateWindowExA(0, "STATIC", "main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100,
                              nullptr, nullptr, nullptr, nullptr);
  HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 250, 10, 200, 100,
                               nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(main && owner);
  SetActiveWindow(main);
  // The owner goes while the box is up and takes the box with it: the box
  // never sees WM_CLOSE. A time-out (Yes) stops the box should it stay.
  WindowDriver d(kMsgBoxClass, "Button", [&](HWND) { PostMessageA(owner, WM_CLOSE, 0, 0); });
  EXPECT_EQ(ShowMsgBox(MsgBoxOwner(owner), "owner goes", "", 3000, 0x24, 0, kButtons), kNoButton);
  EXPECT_FALSE(IsWindow(owner));
  EXPECT_TRUE(IsWindowEnabled(main));
  DestroyWindow(main);
}

TEST(MsgBoxOwners, StaleOwnerHandleStillShowsTheBox) {
  HWND gone = CreateWindowExA(0, "STATIC", "gone", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  DestroyWindow(gone);
  WindowDriver d(kMsgBoxClass, "Button", [](HWND) { PressKey('Y'); });
  EXPECT_EQ(ShowMsgBox(MsgBoxOwner(gone), "still asked", "", 0, 0x24, 0, kButtons), kIdYes);
}

TEST(MsgBoxLoop, QuitMessageClosesTheBoxAndIsKeptForTheCaller) {
  const DWORD thread = GetCurrentThreadId();
  WindowDriver d(kMsgBoxClass, "Button", [&](HWND) { PostThreadMessageA(thread, WM_QUIT, 42, 0); });
  EXPECT_EQ(ShowMsgBox(1, "quit while asking", "", 0, 0x24, 0, kButtons), kNoButton);
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(m.wParam, 42u);
}

int g_ticks = 0;
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++g_ticks; }

TEST(MsgBoxLoop, OtherWindowsKeepGettingTheirTimers) {
  g_ticks = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, CountTick);
  EXPECT_EQ(ShowMsgBox(1, "timers run", "", 600, 0x20, 0, kButtons), kIdOk);
  KillTimer(nullptr, timer);
  EXPECT_GE(g_ticks, 3);
}

TEST(MsgBoxLoop, RefusesAutoPlayOnlyWhileSuppressionIsOn) {
  const UINT query = RegisterWindowMessageA("QueryCancelAutoPlay");
  LRESULT during = -1, without = -1;
  StartAutoPlaySuppression();
  {
    WindowDriver d(kMsgBoxClass, "Button", [&](HWND box) {
      during = SendMessageA(box, query, 0, 0);
      PressKey(VK_ESCAPE);
    });
    ShowMsgBox(1, "insert the next disc", "", 0, 0, 0, kButtons);
  }
  StopAutoPlaySuppression();
  {
    WindowDriver d(kMsgBoxClass, "Button", [&](HWND box) {
      without = SendMessageA(box, query, 0, 0);
      PressKey(VK_ESCAPE);
    });
    ShowMsgBox(1, "no disc change", "", 0, 0, 0, kButtons);
  }
  EXPECT_EQ(during, 1);
  EXPECT_EQ(without, 0);
}

// ---- without the rich-edit library ----------------------------------------

// Runs the helper with the rich-edit library switched off (a per-program
// DLL setting of Wine's registry) and returns its exit code: the answer.
DWORD RunHelperWithoutRichEdit(const std::string& args, std::function<void(HWND)> answer, std::string& textClass) {
  const char* key = "Software\\Wine\\AppDefaults\\msgbox_answer.exe\\DllOverrides";
  HKEY k = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) != ERROR_SUCCESS)
    return 0xFFFFFFFF;
  RegSetValueExA(k, "riched32", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
  RegCloseKey(k);
  ktest::ChildProcess helper("\"" + ktest::BinaryDir() + "\\msgbox_answer.exe\" " + args);
  if (!helper.Started()) {
    RegDeleteKeyA(HKEY_CURRENT_USER, key);
    return 0xFFFFFFFF;
  }
  {
    WindowDriver d(kMsgBoxClass, "Button", [&](HWND box) {
      if (FindWindowExA(box, nullptr, "RICHEDIT", nullptr)) textClass = "RICHEDIT";
      if (FindWindowExA(box, nullptr, "Edit", nullptr)) textClass = "Edit";
      ktest::BringToFront(box);
      answer(box);
    });
  }
  const long code = helper.Wait(15000);
  RegDeleteKeyA(HKEY_CURRENT_USER, key);
  return DWORD(code);
}

TEST(MsgBoxWithoutRichEdit, PlainTextBoxStillAsksAndAnswers) {
  std::string textClass;
  EXPECT_EQ(RunHelperWithoutRichEdit("", [](HWND) { PressKey('N'); }, textClass), DWORD(kIdNo));
  EXPECT_EQ(textClass, "Edit");
  EXPECT_EQ(RunHelperWithoutRichEdit("300", [](HWND) {}, textClass), DWORD(kIdYes));
}

}  // namespace
}  // namespace kestro
