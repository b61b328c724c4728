#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "app/DownloaderLink.h"

namespace {

// Fetchmoor as the link sees it: what it was handed, and a dialog that stays
// open for a number of questions.
struct TFakeState {
  std::vector<std::string> calls;
  int queueAnswer = 0;
  int editingAnswers = 0;
  bool failCalls = false;
  std::string madeObject;
  std::vector<ULONGLONG> editingTimes;
};

class TFakeServer : public TDownloaderServer {
 public:
  explicit TFakeServer(TFakeState& state) : state_(state) {}
  int Queue(const std::string& text) override {
    record("Queue " + text);
    return state_.queueAnswer;
  }
  void Edit(const std::string& text) override { record("Edit " + text); }
  std::string MakeObject(const std::string& folder) override {
    record("MakeObject " + folder);
    return state_.madeObject;
  }
  void NetSetup() override { record("NetSetup"); }
  bool Editing() override {
    state_.editingTimes.push_back(GetTickCount64());
    return state_.editingAnswers-- > 0;
  }
  void BringToFront() override { record("BringToFront"); }
  void ReloadDirList() override { record("ReloadDirList"); }

 private:
  void record(const std::string& call) {
    if (state_.failCalls) throw EDownloaderCall("refused");
    state_.calls.push_back(call);
  }
  TFakeState& state_;
};

struct TFakeHost {
  TFakeState state;
  bool running = true;
  std::vector<bool> connectedOnlyIfRunning;
  std::vector<bool> enabledChanges;

  TDownloaderLink link() {
    TDownloaderHost host;
    host.connect = [this](bool onlyIfRunning) -> std::unique_ptr<TDownloaderServer> {
      connectedOnlyIfRunning.push_back(onlyIfRunning);
      if (!running) return nullptr;
      return std::make_unique<TFakeServer>(state);
    };
    host.applicationActive = [] { return false; };
    host.enableWindows = [this](bool enabled) { enabledChanges.push_back(enabled); };
    return TDownloaderLink(host);
  }
};

}  // namespace

TEST(DownloaderLink, QueueHandsTheTextOverAndFailuresGiveMinusOneQuietly) {
  TFakeHost fake;
  EXPECT_EQ(fake.link().queueDownloads("C:\\L\\3\\\nC:\\L\\7\\\n"), 0);
  EXPECT_EQ(fake.state.calls, (std::vector<std::string>{"Queue C:\\L\\3\\\nC:\\L\\7\\\n"}));
  EXPECT_EQ(fake.connectedOnlyIfRunning, (std::vector<bool>{false}));
  fake.state.queueAnswer = 5;
  EXPECT_EQ(fake.link().queueDownloads("x\n"), 5);
  fake.state.failCalls = true;
  EXPECT_EQ(fake.link().queueDownloads("x\n"), -1);
  fake.running = false;
  EXPECT_EQ(fake.link().queueDownloads("x\n"), -1);

  // The directory set-up only asks a running Fetchmoor.
  EXPECT_FALSE(fake.link().reloadDirList());
  EXPECT_EQ(fake.connectedOnlyIfRunning.back(), true);
  fake.running = true;
  fake.state.failCalls = false;
  EXPECT_TRUE(fake.link().reloadDirList());
  EXPECT_EQ(fake.state.calls.back(), "ReloadDirList");

  // A new item keeps only the asking window off meanwhile.
  int code = 1;
  std::vector<bool> asking;
  const auto enableAsking = [&](bool enabled) { asking.push_back(enabled); };
  fake.enabledChanges.clear();
  EXPECT_EQ(fake.link().makeObject("C:\\L\\3", code, enableAsking), "");
  EXPECT_EQ(code, 0);
  EXPECT_EQ(asking, (std::vector<bool>{false, true}));
  EXPECT_TRUE(fake.enabledChanges.empty());
  fake.running = false;
  fake.link().makeObject("C:\\L\\3", code, enableAsking);
  EXPECT_EQ(code, -1);
}

TEST(DownloaderLink, TheEditWaitPausesBetweenQuestionsAndAlwaysEnablesTheWindowsAgain) {
  TFakeHost fake;
  fake.state.editingAnswers = 4;
  EXPECT_EQ(fake.link().editItems("C:\\L\\3\\1.INI\n"), 0);
  ASSERT_EQ(fake.state.editingTimes.size(), 5u);
  // Timer resolution aside, the questions are spaced by the pause.
  EXPECT_GE(fake.state.editingTimes.back() - fake.state.editingTimes.front(), 4u * 50u);
  EXPECT_EQ(fake.enabledChanges, (std::vector<bool>{false, true}));

  fake.enabledChanges.clear();
  fake.state.failCalls = true;
  EXPECT_EQ(fake.link().editItems("x\n"), -1);
  EXPECT_EQ(fake.enabledChanges, (std::vector<bool>{false, true}));

  fake.enabledChanges.clear();
  EXPECT_THROW(fake.link().netSetup(), EDownloaderCall);
  EXPECT_EQ(fake.enabledChanges, (std::vector<bool>{false, true}));
}

TEST(DownloaderLink, AMissingDownloaderIsToldOnceForEachOperationThatWouldStartIt) {
  std::vector<std::string> told;
  TDownloaderHost host;
  host.connect = [](bool onlyIfRunning) -> std::unique_ptr<TDownloaderServer> {
    if (!onlyIfRunning) throw EDownloaderMissing("C:\\Program\\fm.exe");
    return nullptr;
  };
  host.downloaderMissing = [&](const std::string& executable) { told.push_back(executable); };
  TDownloaderLink link(host);
  EXPECT_EQ(link.queueDownloads("x\n"), -1);
  EXPECT_EQ(link.editItems("x\n"), -1);
  int code = 0;
  EXPECT_EQ(link.makeObject("C:\\L\\3", code, {}), "");
  EXPECT_EQ(code, -1);
  EXPECT_NO_THROW(link.netSetup());
  EXPECT_EQ(told, std::vector<std::string>(4, "C:\\Program\\fm.exe"));
  // The directory set-up only asks a running downloader and starts none.
  EXPECT_FALSE(link.reloadDirList());
  EXPECT_EQ(told.size(), 4u);
}
