#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/HelpLink.h"
#include "app/HelpServices.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Form.h"
#include "platform/StdControls.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestSupport.h"

namespace {

struct THelpCall {
  HWND owner;
  std::string target;
  UINT command;
  DWORD_PTR data;
};

class TFakeHelpServices : public THelpServices {
 public:
  bool installed = true;
  bool available = true;
  HWND helpWindow = reinterpret_cast<HWND>(0x1234);
  std::vector<std::string> existing;
  INT_PTR shellAnswer = 42;
  DWORD shellError = 0;

  std::vector<THelpCall> calls;
  std::vector<HWND> broughtToFront;
  std::vector<std::string> started;
  std::vector<std::string> traced;

  bool htmlHelpInstalled() const override { return installed; }
  bool htmlHelpAvailable() const override { return available; }
  HWND htmlHelp(HWND owner, const std::string& target, UINT command, DWORD_PTR data) override {
    calls.push_back({owner, target, command, data});
    return helpWindow;
  }
  void bringToFront(HWND window) override { broughtToFront.push_back(window); }
  std::string windowsDirectory() const override { return "C:\\WINDOWS"; }
  bool fileExists(const std::string& path) const override {
    return std::find(existing.begin(), existing.end(), path) != existing.end();
  }
  INT_PTR shellOpen(HWND, const std::string& program, const std::string& parameters, DWORD& error) override {
    started.push_back(program + "|" + parameters);
    error = shellError;
    return shellAnswer;
  }
  void trace(const std::string& line) override { traced.push_back(line); }
};

}  // namespace

TEST(HelpLink, ContextRequestsOpenTheTopicAndOtherCommandsGoOnToTheApplication) {
  TFakeHelpServices services;
  services.existing = {"C:\\Program Files\\Kestrova\\Kestrova.CHM"};
  TScriptedMessageBox messages{IDOK};
  {
    THookHelpSystem help("C:\\Program%20Files\\Kestrova\\Kestrova.CHM ", "", THelpMode::htmlHelp, services,
                         messages, nullptr);
    EXPECT_TRUE(application().helpContext(1420));
    ASSERT_EQ(services.calls.size(), 1u);
    EXPECT_EQ(services.calls[0].owner, GetDesktopWindow());
    EXPECT_EQ(services.calls[0].target, "C:\\Program Files\\Kestrova\\Kestrova.CHM");
    EXPECT_EQ(services.calls[0].command, 15u);
    EXPECT_EQ(services.calls[0].data, 1420u);
    EXPECT_EQ(services.broughtToFront, std::vector<HWND>{services.helpWindow});

    // A pop-up topic without a handler of its own opens like a context, and
    // its position is kept for a handler.
    EXPECT_TRUE(application().helpCommand(HELP_SETPOPUP_POS, MAKELONG(30, 40)));
    EXPECT_EQ(help.popupPosition().x, 30);
    EXPECT_EQ(help.popupPosition().y, 40);
    EXPECT_TRUE(application().helpCommand(HELP_CONTEXTPOPUP, 1430));
    ASSERT_EQ(services.calls.size(), 2u);
    EXPECT_EQ(services.calls[1].data, 1430u);

    EXPECT_FALSE(application().helpCommand(HELP_KEY, 0));
    EXPECT_EQ(services.calls.size(), 2u);
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_EQ(services.traced.front(),
              "THookHelpSystem.Create(\"C:\\Program%20Files\\Kestrova\\Kestrova.CHM \", \"\", 0)");
  }
  // Going closes every help window and gives the application its handling back.
  ASSERT_EQ(services.calls.size(), 3u);
  EXPECT_EQ(services.calls[2].command, 18u);
  EXPECT_EQ(services.calls[2].target, "");
  EXPECT_FALSE(application().helpContext(1000));
}

TEST(HelpLink, FailuresAreReportedInTheirOwnWords) {
  EXPECT_EQ(helpTarget(" a%20b.CHM", "main%20win ", THelpMode::hh), "mk:@MSITStore:a b.CHM>main win");
  TFakeHelpServices services;
  TScriptedMessageBox messages{IDOK};
  services.installed = false;
  {
    THookHelpSystem help("K.CHM", "", THelpMode::htmlHelp, services, messages, nullptr);
    EXPECT_EQ(help.showContext(1000), helpNotInstalled);
    EXPECT_TRUE(services.calls.empty());
  }
  {
    THookHelpSystem help("K.CHM", "", THelpMode::keyHH, services, messages, nullptr);
    EXPECT_EQ(help.showContext(1000), helpKeyHHMissing);
    services.existing = {"C:\\WINDOWS\\KeyHH.EXE", "C:\\WINDOWS\\HH.EXE"};
    // Without its file no viewer has anything to show: the user is told.
    EXPECT_EQ(help.showContext(1100), helpFileMissing);
    services.existing.push_back("K.CHM");
    EXPECT_EQ(help.showContext(1100), helpShown);
  }
  services.installed = true;
  {
    THookHelpSystem help("M.CHM", "", THelpMode::htmlHelp, services, messages, nullptr);
    const size_t calls = services.calls.size();
    EXPECT_EQ(help.showContext(1000), helpFileMissing);
    EXPECT_EQ(services.calls.size(), calls);
  }
  {
    THookHelpSystem help("K.CHM", "w", THelpMode::hh, services, messages, nullptr);
    services.shellAnswer = 2;
    services.shellError = 1392;
    EXPECT_EQ(help.showContext(1200), helpShown);
  }
  EXPECT_EQ(services.started, (std::vector<std::string>{"C:\\WINDOWS\\KeyHH.EXE|-win -#mapid 1100 K.CHM",
                                                         "C:\\WINDOWS\\HH.EXE|-mapid 1200 mk:@MSITStore:K.CHM>w"}));
  EXPECT_EQ(messages.texts,
            (std::vector<std::string>{"MS Html Help is not installed on this PC.",
                                      "System file KeyHH.EXE was not found in the Windows folder.",
                                      "The help file K.CHM was not found.", "The help file M.CHM was not found.",
                                      "Function ShellExecute(C:\\WINDOWS\\HH.EXE, -mapid 1200 mk:@MSITStore:K.CHM>w)\r"
                                      "Returned: [Error:1392] Corrupt File Or Disk"}));
  EXPECT_EQ(helpErrorText(7), "Unknown error returned by HHHelpContext");
  EXPECT_EQ(helpCommandName(515), "HELP_SETWINPOS (515)");
  EXPECT_EQ(helpCommandName(6), "?? (6)");
}

TEST(HelpLink, F1AsksForTheTopicOfTheNearestControlThatNamesOne) {
  std::vector<ULONG_PTR> asked;
  TApplication::THelpHook previous = application().setHelpHook([&](UINT command, ULONG_PTR data, bool& passOn) {
    passOn = command != HELP_CONTEXT;
    if (!passOn) asked.push_back(data);
    return true;
  });
  TFormOptions options;
  options.caption = "F1";
  TForm form(options);
  form.helpContext = 1400;
  TEdit& edit = form.add<TEdit>();
  edit.setBounds(4, 4, 80, 21);
  TButton& button = form.add<TButton>("&Help");
  button.setBounds(4, 30, 75, 25);
  button.helpContext = 1420;
  form.showModeless();
  edit.setFocus();
  postKey(edit.handle(), VK_F1);
  ASSERT_TRUE(pumpUntil([&] { return asked.size() == 1; }));
  button.setFocus();
  postKey(button.handle(), VK_F1);
  ASSERT_TRUE(pumpUntil([&] { return asked.size() == 2; }));
  EXPECT_EQ(asked, (std::vector<ULONG_PTR>{1400, 1420}));
  application().setHelpHook(std::move(previous));
}

TEST(HelpLink, TheTraceIsWrittenOnlyWhenAskedFor) {
  TTemporaryFolder folder;
  const std::string program = folder.path() + "Kestrova.exe";
  {
    TWindowsHelpServices services(program);
    services.trace("nothing");
    EXPECT_TRUE(services.traceFileName().empty());
  }
  EXPECT_FALSE(fileExists(folder.path() + "HHDebug.txt"));
  writeWholeFile(folder.path() + "debug.debug", "");
  {
    TWindowsHelpServices services(program);
    EXPECT_EQ(services.traceFileName(), folder.path() + "HHDebug.txt");
    services.trace("THookHelpSystem.Destroy");
  }
  const std::string trace = readWholeFile(folder.path() + "HHDebug.txt");
  EXPECT_NE(trace.find("!_ModuleName =       Kestrova.exe\r\n"), std::string::npos);
  EXPECT_NE(trace.find("!_hhInstalled =      "), std::string::npos);
  EXPECT_NE(trace.find("\r\nTHookHelpSystem.Destroy\r\n"), std::string::npos);
  EXPECT_EQ(htmlHelpFriendlyVersion("4.72.7323.0"), "1.1");
  EXPECT_EQ(htmlHelpFriendlyVersion("4.73.8300.5"), "1.2");
  EXPECT_EQ(htmlHelpFriendlyVersion("4.0.0.0"), "< 1.0");
  EXPECT_EQ(htmlHelpFriendlyVersion("6.0.0.0"), "> 1.31");
  EXPECT_EQ(browserFriendlyVersion("6.0.2900.0"), "> Internet Explorer 5.5 Developer Preview");
}
