// Shows one of the program's windows for a screenshot: the error box, a
// Yes/No question with a bold heading, a right-to-left box or the text box.
// Once the window is up it writes its screen rectangle ("left top width
// height") to <kind>.rect in the working folder, then closes it after a
// few seconds. scripts/screenshots.sh photographs that rectangle.
#include <windows.h>

#include <cstdio>
#include <string>

#include "core/LangRes0/lang_keys.h"
#include "core/Utils/ksub.h"
#include "win/KMsgBox/kmsgbox.h"
#include "win/RichEdit/richedit.h"

namespace {

using namespace kestro;

std::string g_kind;

HWND ShownWindow() {
  HWND w = FindWindowA(kMsgBoxClass, nullptr);
  return w ? w : FindWindowA(kTextBoxClass, nullptr);
}

void CALLBACK ReportRect(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  RECT r;
  if (!GetWindowRect(ShownWindow(), &r)) return;
  if (FILE* f = std::fopen((g_kind + ".rect").c_str(), "w")) {
    std::fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    std::fclose(f);
  }
}

void CALLBACK CloseShown(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  PostMessageA(ShownWindow(), WM_CLOSE, 0, 0);
}

std::string TempSpaceQuestion() {
  std::string text = std::string(lang::kTempDriveNotice.def) + lang::kSpaceRequired.def + lang::kSpaceAvailable.def +
                     lang::kContinueSetup.def;
  text = SUB::ReplaceText(text, "<DRIVE>", "C:");
  text = SUB::ReplaceText(text, "<SPACE_REQ>", "48.2");
  return SUB::ReplaceText(text, "<SPACE_AVAIL>", "1,024.0");
}

}  // namespace

int main(int argc, char** argv) {
  g_kind = argc > 1 ? argv[1] : "error";
  SetTimer(nullptr, 0, 1500, ReportRect);
  SetTimer(nullptr, 0, 5000, CloseShown);
  if (g_kind == "error") {
    MsgBoxError(0, lang::kBadCrc.def, "", 0, "");
  } else if (g_kind == "question") {
    MsgBoxConfirm(0, TempSpaceQuestion(), "", 0, 0, "");
  } else if (g_kind == "rtl") {
    // Hebrew in code page 1255: "Continue the installation?" and the
    // translated buttons, shown with the Hebrew character set.
    SetMsgBoxFont("Tahoma", 8, 177);
    const std::string text = "\xEC\xE4\xEE\xF9\xE9\xEA \xE1\xE4\xFA\xF7\xF0\xE4?<P>Setup 2.1";
    const std::string buttons = "|&\xE0\xE9\xF9\xE5\xF8|&\xE1\xE9\xE8\xE5\xEC|&\xEB\xEF|&\xEC\xE0|"
                                "&Abort|&Retry|&Ignore|";
    ShowMsgBox(1, text, "\xE0\xE9\xF9\xE5\xF8", 0, 0x24, 177, buttons);
  } else if (g_kind == "textbox") {
    const std::string text =
        "Kestro Demo 2.1 is available.\r\n\r\n"
        "What is new:\r\n"
        "  - Faster start-up on large folders.\r\n"
        "  - The update agent now resumes interrupted downloads.\r\n"
        "  - Fixed: the progress window kept its old caption after a language change.\r\n\r\n"
        "Your version: 2.0.3\r\nNew version: 2.1.0 (12.4 MB)\r\n\r\n"
        "Press the button below to open the download page.";
    ShowTextBox(nullptr, "Kestro Demo - new version", "Open the download page", 0, 8, "Tahoma", false, 480, 330,
                "http://127.0.0.1/download", text);
  } else {
    std::fprintf(stderr, "usage: ui_shots error|question|rtl|textbox\n");
    return 2;
  }
  return 0;
}
