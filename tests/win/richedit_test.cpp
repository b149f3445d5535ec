// The text box on a real display, closed and clicked with real input.
#include "win/RichEdit/richedit.h"

#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include "../support/test_paths.h"
#include "../support/ui_driver.h"

namespace kestro {
namespace {

using ktest::WindowDriver;

std::string HelperDir() { return ktest::BinaryDir() + "\\"; }
std::string LinkTarget() { return HelperDir() + "link_target.exe"; }
std::string Marker() { return HelperDir() + "link_target.opened"; }

bool WaitForFile(const std::string& path, DWORD ms = 10000) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    Sleep(50);
  }
  return false;
}

struct Seen {
  RECT client{}, text{}, button{};
  std::string text_;
  bool hasButton = false;
  std::string textFace, buttonFace;
  RECT textAfterResize{}, buttonAfterResize{}, clientAfterResize{};
};

// The rich-edit control keeps its font as the default character format.
std::string RichEditFace(HWND t) {
  CHARFORMATA cf{};
  cf.cbSize = sizeof cf;
  SendMessageA(t, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
  return cf.szFaceName;
}

std::string FaceOf(HWND w) {
  LOGFONTA lf{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(w, WM_GETFONT, 0, 0)), sizeof lf, &lf);
  return lf.lfFaceName;
}

// Shows a box, records what the driver sees, then closes it with action.
Seen ShowAndLook(const std::string& face, const std::string& link, const std::string& text,
                 std::function<void(HWND box, HWND button)> close) {
  Seen s;
  WindowDriver d(kTextBoxClass, "RICHEDIT", [&](HWND box) {
    HWND t = FindWindowExA(box, nullptr, "RICHEDIT", nullptr);
    HWND b = FindWindowExA(box, nullptr, "Button", nullptr);
    GetClientRect(box, &s.client);
    s.text = ktest::RectInParent(t, box);
    s.text_ = ktest::WindowText(t);
    s.textFace = RichEditFace(t);
    s.hasButton = b != nullptr;
    if (b) {
      s.button = ktest::RectInParent(b, box);
      s.buttonFace = FaceOf(b);
    }
    RECT wr;
    GetWindowRect(box, &wr);
    SetWindowPos(box, nullptr, 0, 0, wr.right - wr.left + 100, wr.bottom - wr.top + 60, SWP_NOMOVE | SWP_NOZORDER);
    Sleep(200);
    GetClientRect(box, &s.clientAfterResize);
    s.textAfterResize = ktest::RectInParent(t, box);
    if (b) s.buttonAfterResize = ktest::RectInParent(b, box);
    ktest::BringToFront(box);
    close(box, b);
  });
  EXPECT_TRUE(ShowTextBox(nullptr, "New version", "Visit the download page", 0, 8, face, false, 420, 300, link,
                          text));
  return s;
}

TEST(TextBox, TextIsShownAsItIsAndFillsTheBoxWithoutALink) {
  const Seen s = ShowAndLook("Tahoma", "   ", "Version <B>2.0</B><P>is out", [](HWND, HWND) {
    ktest::PressAltKey(VK_F4);
  });
  EXPECT_EQ(s.text_, "Version <B>2.0</B><P>is out");
  EXPECT_FALSE(s.hasButton);
  EXPECT_EQ(s.text.left, 3);
  EXPECT_EQ(s.text.top, 0);
  EXPECT_EQ(s.text.right, s.client.right);
  EXPECT_EQ(s.text.bottom, s.client.bottom);
  EXPECT_EQ(s.textAfterResize.bottom, s.clientAfterResize.bottom);
  EXPECT_EQ(s.textFace, "Verdana");  // Tahoma reads poorly in long texts
}

TEST(TextBox, LinkButtonIsCentredAboveTheBottomAndOpensTheLink) {
  DeleteFileA(Marker().c_str());
  const Seen s = ShowAndLook("Arial", " " + LinkTarget() + " ", "A new release is ready.",
                             [](HWND, HWND button) { ktest::ClickWindow(button); });
  ASSERT_TRUE(s.hasButton);
  for (const auto& [client, text, button] : {std::tuple(s.client, s.text, s.button),
                                             std::tuple(s.clientAfterResize, s.textAfterResize, s.buttonAfterResize)}) {
    EXPECT_EQ(button.left, (client.right - 160) / 2);
    EXPECT_EQ(button.top, client.bottom - 33);
    EXPECT_EQ(button.right - button.left, 160);
    EXPECT_EQ(button.bottom - button.top, 25);
    EXPECT_EQ(text.bottom, client.bottom - 43);
  }
  EXPECT_EQ(s.textFace, "Arial");
  EXPECT_EQ(s.buttonFace, "Arial");
  EXPECT_TRUE(WaitForFile(Marker()));
  DeleteFileA(Marker().c_str());
}

TEST(TextBox, ASizeLargerThanTheScreenIsHeldToIt) {
  // Settings made on a larger screen: the box must keep its caption and its
  // link button on this one.
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  for (const SIZE size : {SIZE{5000, 5000}, SIZE{sw + 200, sh + 100}}) {
    RECT box{}, button{};
    WindowDriver d(kTextBoxClass, "RICHEDIT", [&](HWND w) {
      GetWindowRect(w, &box);
      GetWindowRect(FindWindowExA(w, nullptr, "Button", nullptr), &button);
      PostMessageA(w, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(ShowTextBox(nullptr, "big", "Download", 0, 8, "", false, size.cx, size.cy, "http://example.invalid/",
                            "notes"));
    EXPECT_GE(box.left, 0) << size.cx;
    EXPECT_GE(box.top, 0) << size.cx;
    EXPECT_LE(box.right, sw) << size.cx;
    EXPECT_LE(box.bottom, sh) << size.cx;
    EXPECT_GE(button.top, 0) << size.cx;
    EXPECT_LE(button.bottom, sh) << size.cx;
  }
}

TEST(TextBox, EmptyTextOpensTheLinkAtOnceWithoutAWindow) {
  DeleteFileA(Marker().c_str());
  EXPECT_TRUE(ShowTextBox(nullptr, "t", "b", 0, 8, "", false, 300, 200, LinkTarget(), ""));
  EXPECT_EQ(FindWindowA(kTextBoxClass, nullptr), nullptr);
  EXPECT_TRUE(WaitForFile(Marker()));
  DeleteFileA(Marker().c_str());
  EXPECT_FALSE(ShowTextBox(nullptr, "t", "b", 0, 8, "", false, 300, 200, "  ", ""));
}

TEST(TextBox, ASecondShowingRunsItsOwnLoop) {
  for (int i = 0; i < 2; ++i) {
    WindowDriver d(kTextBoxClass, "RICHEDIT", [](HWND box) { PostMessageA(box, WM_CLOSE, 0, 0); });
    EXPECT_TRUE(ShowTextBox(nullptr, "again", "", 0, 8, "", true, 300, 200, "", "shown twice"));
  }
}

}  // namespace
}  // namespace kestro
