// The web setup without a connection. Wine always reports one, so the
// library's connection test is replaced in this process and the web setup
// runs here, on a web setup file written by kpack.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "win/InetHTTP/wininet_library.h"
#include "win/KMsgBox/kmsgbox.h"
#include "win/StubSetup/web_setup.h"
#include "../support/recording_host.h"
#include "../support/scripted_server.h"
#include "../support/setup_road.h"
#include "../support/ui_driver.h"

namespace {

using namespace kestro;

BOOL WINAPI Offline(LPDWORD, DWORD) {
  SetLastError(ERROR_NOT_CONNECTED);
  return FALSE;
}

TEST(WebSetupOffline, SaysThereIsNoConnectionWithTheReasonAndFetchesNothing) {
  const std::string dir = ktest::ScratchDir();
  const std::string web = dir + "\\websetup.exe";
  ktest::ScriptedServer server(dir + "\\www");
  ASSERT_TRUE(server.Up());
  for (bool ask : {false, true}) {
    SCOPED_TRACE(ask ? "asked first, answered No" : "not asked");
    ktest::StubProcess kpack("\"" + ktest::KpackExe() + "\" --stub \"" + ktest::StubExe() + "\" --out \"" + web +
                             "\" --web-setup --web-source " + server.Base() +
                             "/plain --web-package pkg.exe --web-token t" +
                             (ask ? " --ask-before-download" : ""));
    ASSERT_EQ(kpack.Wait(60000), 0);
    const TGFileInfo own(web);
    WebSetupInput in;
    in.own = &own;
    in.folder = dir + "\\extract";
    in.source = own.GetWebSource();
    in.packageName = own.GetWebPackageName();
    const size_t before = server.Requests().size();
    std::string question, shown;
    ReplaceConnectedState(Offline);
    {
      ktest::WindowDriver driver(kMsgBoxClass, "Button", [&](HWND box) {
        if (ask) {
          question = ktest::BoxText(box);
          ktest::BringToFront(box);
          ktest::PressKey('N');
          Sleep(300);
          box = ktest::WaitForWindow(kMsgBoxClass, "Button");
        }
        shown = ktest::BoxText(box);
        ktest::BringToFront(box);
        ktest::PressKey(VK_RETURN);
      });
      ktest::RecordingHost host;
      RunWebSetup(host, in);
    }
    ReplaceConnectedState(nullptr);
    if (ask) {
      EXPECT_NE(question.find("INTERNET DOWNLOAD"), std::string::npos) << question;
    }
    EXPECT_EQ(shown.rfind("No valid Internet Connection.", 0), 0u) << shown;
    EXPECT_GT(shown.size(), std::string("No valid Internet Connection.Can not Download File!").size())
        << "the system's reason follows: " << shown;
    EXPECT_EQ(server.Requests().size(), before);
  }
}

}  // namespace
