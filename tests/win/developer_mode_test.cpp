// The developer marker (DVX=584) is read once per process, so this program
// sets it before anything asks.
#include "win/Utils/developer_mode.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "../support/ui_driver.h"
#include "core/KMsgBox/msgbox_rules.h"
#include "win/KMsgBox/kmsgbox.h"
#include "win/Utils/window_utils.h"

namespace kestro {
namespace {

RECT BoxRect(const std::string& text) {
  RECT r{};
  ktest::WindowDriver d(kMsgBoxClass, "Button", [&](HWND box) {
    GetWindowRect(box, &r);
    PostMessageA(box, WM_CLOSE, 0, 0);
  });
  ShowMsgBox(1, text, "", 0, 0x24, 0, kDefaultButtonList);
  return r;
}

TEST(DeveloperMode, MovesTheStoreEntryQuestionAside) {
  SetEnvironmentVariableA("DVX", "584");
  ASSERT_TRUE(IsDeveloperMode());
  const RECT plain = BoxRect("Do you want to keep the new Entry in the list?");
  const RECT moved = BoxRect("Do you want to store the new Entry in the list?");
  const auto centred = [](const RECT& r) { return CenterInWorkArea(r.right - r.left, r.bottom - r.top); };
  EXPECT_EQ(moved.left, centred(moved).left + 150);
  EXPECT_EQ(moved.top, centred(moved).top + 150);
  EXPECT_EQ(plain.left, centred(plain).left);
  EXPECT_EQ(plain.top, centred(plain).top);
}

}  // namespace
}  // namespace kestro
