// The announcement end to end: the agent file packed by kpack checks an nginx
// server whose ".INFO" file asks for an announcement, fetches the INFORM file
// beside it, checks its product token and shows its text in the text box with
// a button to the download page; the release then counts as installed.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "../support/agent_run.h"
#include "../support/nginx_server.h"
#include "core/PackX/package_token.h"
#include "core/StubAU/scramble.h"
#include "win/KMsgBox/kmsgbox.h"
#include "win/RichEdit/richedit.h"

using namespace ktest;

namespace {

// An INFORM file for the product token "tok" the agents are packed with.
std::string InformFile(const std::string& body, const std::string& token = "tok") {
  return "|" + kestro::ScrambleToken(token, 11) + "|x|y|" + body;
}

// What one forced check put on the screen. The windows are closed as they
// come, so the check runs to its end.
struct Shown {
  int code = -1;
  bool textBox = false, button = false;
  std::string title, text, buttonText, errorText;
  int width = 0, height = 0;
};

class InformSite {
 public:
  InformSite()
      : www_(dir_ + "\\www"), nginx_((kestro::ForceDirectories(www_), www_), dir_ + "\\nginx"),
        setup_(dir_ + "\\agent", nginx_.Base()) {
    kestro::ForceDirectories(setup_.Dir());
  }

  bool Up() const { return nginx_.Up() && setup_.Pack() == 0; }
  const AgentSetup& Setup() const { return setup_; }
  std::string Dir() const { return dir_; }
  // A program that leaves a marker file beside itself when it runs.
  std::string PlaceLinkTarget() const {
    const std::string program = dir_ + "\\link_target.exe";
    CopyFileA((BinaryDir() + "\\link_target.exe").c_str(), program.c_str(), FALSE);
    return program;
  }
  std::string LinkTargetMarker() const { return dir_ + "\\link_target.opened"; }
  std::string AccessLog() const { return ReadFileText(dir_ + "\\nginx\\access.log"); }

  // Publishes a release whose announcement is `inform` under `name`.
  void Publish(int version, int stamp, const std::string& inform, const std::string& link,
               const std::string& name = "News.txt") const {
    WriteFileText(www_ + "\\News.txt", inform);
    WriteFileText(www_ + "\\Product.info",
                  "[NewSetup]\r\nDownloadURL_UPDATE=" + nginx_.Base() +
                      "\r\nVersionNew=" + std::to_string(version) + "\r\nStamp=" + std::to_string(stamp) +
                      "\r\n[General]\r\nAutoInform=1\r\n[AutoInform]\r\nNameOfInformFile=" + name +
                      "\r\nSizeOfInformFile=" + std::to_string(inform.size()) +
                      "\r\nDownloadURL_INFORM=" + link + "\r\n" + windowSize);
  }

  std::string windowSize = "AutoInformW=420\r\nAutoInformH=300\r\n";

 private:
  std::string dir_ = ScratchDir();
  std::string www_;
  NginxServer nginx_;
  AgentSetup setup_;
};

std::string TextOf(HWND w) {
  char buf[4096] = {};
  SendMessageTimeoutA(w, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_BLOCK, 2000, nullptr);
  return buf;
}

void ReadTextBox(HWND box, Shown& s) {
  s.textBox = true;
  s.title = TextOf(box);
  RECT r;
  GetWindowRect(box, &r);
  s.width = r.right - r.left;
  s.height = r.bottom - r.top;
  if (HWND edit = FindWindowExA(box, nullptr, "RICHEDIT", nullptr)) s.text = TextOf(edit);
  if (HWND button = FindWindowExA(box, nullptr, "Button", nullptr)) {
    s.button = true;
    s.buttonText = TextOf(button);
  }
}

// A forced check; the text box and any error box are read and closed.
Shown CheckAndClose(RunningAgent& agent) {
  Shown s;
  const int before = agent.TraceCount(" ==== PerformShot-2 ====");
  const int decided = agent.TraceCount(" GetOkToPerformAU=");
  agent.Command(31, 0);
  for (;;) {
    HWND box = nullptr, error = nullptr;
    const bool ended = agent.Pump([&] {
      box = FindWindowA(kestro::kTextBoxClass, nullptr);
      error = FindWindowA(kestro::kMsgBoxClass, nullptr);
      return box || error || agent.TraceCount(" ==== PerformShot-2 ====") > before ||
             (agent.TraceCount(" GetOkToPerformAU=") > decided &&
              agent.LastTrace(" GetOkToPerformAU=").find("=6") == std::string::npos);
    });
    if (!ended) return s;
    if (box || error) WaitForBoxComplete(box ? box : error);
    if (box) {
      ReadTextBox(box, s);
      PostMessageA(box, WM_CLOSE, 0, 0);
      agent.Pump([&] { return !IsWindow(box); });
    } else if (error) {
      s.errorText = BoxText(error);
      PostMessageA(error, WM_CLOSE, 0, 0);
      agent.Pump([&] { return !IsWindow(error); });
    } else {
      break;
    }
  }
  const std::string line = agent.LastTrace(" GetOkToPerformAU=");
  s.code = atoi(line.substr(line.find('=') + 1).c_str());
  return s;
}

const char kOriginal[] =
    "[OriginalSetup]\r\nVersionOriginal=1\r\nStamp=1\r\nProbeSecondsInterval=-1\r\n"
    "[MsgBox]\r\nFontName=Arial\r\nFontSize=10\r\n";

}  // namespace

TEST(AutoInform, AnnouncesTheReleaseOnceAndCountsItAsInstalled) {
  InformSite site;
  ASSERT_TRUE(site.Up());
  site.Setup().WriteOriginal(kOriginal);
  site.Publish(2, 5, InformFile("Version 2 is out.\r\n<B>Faster</B> checks."), "https://example.test/get");
  DebugViewer viewer;
  RunningAgent agent(site.Setup(), viewer);
  ASSERT_TRUE(agent.Window());

  const Shown s = CheckAndClose(agent);
  EXPECT_EQ(s.code, 6);
  ASSERT_TRUE(s.textBox);
  EXPECT_EQ(s.title, "New Version");
  EXPECT_EQ(s.text, "Version 2 is out.\r\n<B>Faster</B> checks.") << "shown as it is, no markup";
  EXPECT_TRUE(s.button);
  EXPECT_EQ(s.buttonText, "Download");
  EXPECT_EQ(s.width, 420);
  EXPECT_EQ(s.height, 300);
  EXPECT_EQ(s.errorText, "");
  ASSERT_TRUE(agent.WaitForTrace(" ==== PerformAutoInform-4 ====", 1));
  const std::string original = site.Setup().Original();
  EXPECT_EQ(ReadIni(original, "OriginalSetup", "VersionOriginal"), "2");
  EXPECT_EQ(ReadFileText(site.Setup().Dir() + "\\News.txt"),
            InformFile("Version 2 is out.\r\n<B>Faster</B> checks."));
  EXPECT_NE(site.AccessLog().find("GET /News.txt"), std::string::npos) << site.AccessLog();
  EXPECT_TRUE(LogGets(site.Setup().Log(), "PerformAutoInform() - END TRUE"));
  EXPECT_EQ(agent.Notifications().Count(41, 1), 1);
  EXPECT_EQ(agent.Notifications().Count(41, 2), 1);

  // Announced once: the same release is no longer newer than the installed one.
  site.Publish(2, 6, InformFile("Version 2 is out."), "https://example.test/get");
  const Shown again = CheckAndClose(agent);
  EXPECT_EQ(again.code, 3);
  EXPECT_FALSE(again.textBox);
  agent.Command(30, 0);
  EXPECT_EQ(agent.WaitForExit(), 0u);
}

TEST(AutoInform, ForeignScrambledAndBodylessFiles) {
  InformSite site;
  ASSERT_TRUE(site.Up());
  site.Setup().WriteOriginal(std::string(kOriginal) + "[AutoUpdate]\r\ns34=Neue Version\r\ns35=Laden\r\n");
  DebugViewer viewer;
  RunningAgent agent(site.Setup(), viewer);
  ASSERT_TRUE(agent.Window());
  const std::string original = site.Setup().Original();
  const std::string local = site.Setup().Dir() + "\\News.txt";
  int version = 1;
  int stamp = 10;

  // Another product's file: refused and deleted, nothing announced.
  site.Publish(version + 1, ++stamp, InformFile("not ours", "other"), "https://example.test/get");
  Shown s = CheckAndClose(agent);
  EXPECT_EQ(s.code, 6);
  EXPECT_FALSE(s.textBox);
  EXPECT_NE(s.errorText.find("Bad Secret Token!"), std::string::npos) << s.errorText;
  EXPECT_FALSE(Exists(local));
  EXPECT_EQ(ReadIni(original, "OriginalSetup", "VersionOriginal"), "1");

  // A scrambled file is read as its plain text.
  site.Publish(++version, ++stamp, kestro::Scramble(InformFile("Hidden notes"), true, false),
               "https://example.test/get");
  s = CheckAndClose(agent);
  ASSERT_TRUE(s.textBox);
  EXPECT_EQ(s.text, "Hidden notes");
  EXPECT_EQ(s.title, "Neue Version");
  EXPECT_EQ(s.buttonText, "Laden");
  ASSERT_TRUE(agent.WaitForTrace(" ==== PerformAutoInform-4 ====", 1));
  EXPECT_EQ(ReadIni(original, "OriginalSetup", "VersionOriginal"), std::to_string(version));

  // No body: the address is shown with its button instead of being opened
  // unasked, and the release counts as announced.
  site.Publish(version + 1, ++stamp, InformFile(""), " https://example.test/get ");
  s = CheckAndClose(agent);
  ASSERT_TRUE(s.textBox);
  EXPECT_EQ(s.text, "https://example.test/get");
  EXPECT_TRUE(s.button);
  ASSERT_TRUE(agent.WaitForTrace(" ==== PerformAutoInform-4 ====", 2));
  EXPECT_EQ(ReadIni(original, "OriginalSetup", "VersionOriginal"), std::to_string(++version));

  // Neither body nor link: nothing shown, the release stays to be announced.
  site.Publish(version + 1, ++stamp, InformFile(""), "");
  s = CheckAndClose(agent);
  EXPECT_EQ(s.code, 6);
  EXPECT_FALSE(s.textBox);
  EXPECT_EQ(ReadIni(original, "OriginalSetup", "VersionOriginal"), std::to_string(version));
  EXPECT_TRUE(LogGets(site.Setup().Log(), "PerformAutoInform() - END FALSE"));
  agent.Command(30, 0);
  EXPECT_EQ(agent.WaitForExit(), 0u);
}

// A link that is not a web address (here a program) never runs: without a
// body nothing is shown, with one the text comes without a button.
TEST(AutoInform, ALinkThatIsNoWebAddressNeverOpens) {
  InformSite site;
  ASSERT_TRUE(site.Up());
  site.Setup().WriteOriginal(kOriginal);
  const std::string program = site.PlaceLinkTarget();
  const std::string marker = site.LinkTargetMarker();
  ASSERT_TRUE(Exists(program));
  DebugViewer viewer;
  RunningAgent agent(site.Setup(), viewer);
  ASSERT_TRUE(agent.Window());

  site.Publish(2, 5, InformFile(""), program);
  Shown s = CheckAndClose(agent);
  EXPECT_EQ(s.code, 6);
  EXPECT_FALSE(s.textBox);
  EXPECT_EQ(ReadIni(site.Setup().Original(), "OriginalSetup", "VersionOriginal"), "1");

  site.Publish(2, 6, InformFile("News without a page"), program);
  s = CheckAndClose(agent);
  ASSERT_TRUE(s.textBox);
  EXPECT_EQ(s.text, "News without a page");
  EXPECT_FALSE(s.button);
  EXPECT_FALSE(Exists(marker)) << "the program ran";
  agent.Command(30, 0);
  EXPECT_EQ(agent.WaitForExit(), 0u);
  EXPECT_FALSE(Exists(marker)) << "the program ran";
}

// The announcement is read back from the file the token check saw: a name
// that leads out of the agent's folder is refused before anything is fetched.
TEST(AutoInform, AnInformNameWithAFolderIsRefused) {
  InformSite site;
  ASSERT_TRUE(site.Up());
  site.Setup().WriteOriginal(kOriginal);
  // Where "..\News.txt" leads from the agent's folder: a file no token check saw.
  WriteFileText(site.Dir() + "\\News.txt", InformFile("planted text"));
  DebugViewer viewer;
  RunningAgent agent(site.Setup(), viewer);
  ASSERT_TRUE(agent.Window());

  site.Publish(2, 5, InformFile("served text"), "https://example.test/get", "..\\News.txt");
  const Shown s = CheckAndClose(agent);
  EXPECT_EQ(s.code, 6);
  EXPECT_FALSE(s.textBox) << s.text;
  EXPECT_EQ(agent.TraceCount(" ==== PerformAutoInform-2 ===="), 0) << "fetched all the same";
  EXPECT_EQ(agent.Notifications().Count(41, 1), 0);
  EXPECT_FALSE(Exists(site.Setup().Dir() + "\\News.txt"));
  EXPECT_NE(ReadFileText(site.Setup().Log()).find("ERROR: not a bare file name: ..\\News.txt"), std::string::npos);
  EXPECT_EQ(ReadIni(site.Setup().Original(), "OriginalSetup", "VersionOriginal"), "1");
  agent.Command(30, 0);
  EXPECT_EQ(agent.WaitForExit(), 0u);
}

namespace {

// The prefix's handler of https addresses, replaced for one test by a
// program of the test's own and put back afterwards.
class HttpsHandler {
 public:
  explicit HttpsHandler(const std::string& command) {
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    char buf[1024] = {};
    DWORD size = sizeof buf;
    had_ = RegQueryValueExA(key_, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size) == ERROR_SUCCESS;
    old_ = buf;
    Set(command);
  }
  ~HttpsHandler() {
    if (had_) {
      Set(old_);
    } else {
      RegDeleteValueA(key_, nullptr);
    }
    RegCloseKey(key_);
  }
  HttpsHandler(const HttpsHandler&) = delete;
  HttpsHandler& operator=(const HttpsHandler&) = delete;

 private:
  static constexpr const char* kKey = "Software\\Classes\\https\\shell\\open\\command";
  void Set(const std::string& v) {
    RegSetValueExA(key_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()),
                   static_cast<DWORD>(v.size() + 1));
  }
  HKEY key_ = nullptr;
  bool had_ = false;
  std::string old_;
};

}  // namespace

// The download page opens when the user presses the button, and only then:
// a file without text shows the address first. A window size too small to
// show the box is replaced.
TEST(AutoInform, TheButtonOpensTheWebAddressWhenPressed) {
  InformSite site;
  ASSERT_TRUE(site.Up());
  site.Setup().WriteOriginal(kOriginal);
  const std::string program = site.PlaceLinkTarget();
  const std::string marker = site.LinkTargetMarker();
  ASSERT_TRUE(Exists(program));
  HttpsHandler handler("\"" + program + "\" \"%1\"");
  // A size that would hide the box the agent waits on.
  site.windowSize = "AutoInformW=0\r\nAutoInformH=3\r\n";
  site.Publish(2, 5, InformFile(""), "https://example.test/get");
  DebugViewer viewer;
  RunningAgent agent(site.Setup(), viewer);
  ASSERT_TRUE(agent.Window());

  agent.Command(31, 0);
  HWND box = nullptr;
  ASSERT_TRUE(agent.Pump([&] { return (box = FindWindowA(kestro::kTextBoxClass, nullptr)) != nullptr; }));
  WaitForBoxComplete(box);
  RECT r;
  GetWindowRect(box, &r);
  EXPECT_EQ(r.right - r.left, 360);
  EXPECT_EQ(r.bottom - r.top, 200);
  EXPECT_FALSE(Exists(marker)) << "opened before the button was pressed";
  HWND button = FindWindowExA(box, nullptr, "Button", nullptr);
  ASSERT_NE(button, nullptr);
  PostMessageA(button, BM_CLICK, 0, 0);
  EXPECT_TRUE(agent.Pump([&] { return Exists(marker); }));
  EXPECT_TRUE(agent.Pump([&] { return !IsWindow(box); })) << "the button closes the box";
  ASSERT_TRUE(agent.WaitForTrace(" ==== PerformAutoInform-4 ====", 1));
  EXPECT_EQ(ReadIni(site.Setup().Original(), "OriginalSetup", "VersionOriginal"), "2");
  agent.Command(30, 0);
  EXPECT_EQ(agent.WaitForExit(), 0u);
}
