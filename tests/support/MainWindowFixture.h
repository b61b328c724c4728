#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/MainForm.h"
#include "platform/FileSystem.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TestFolders.h"

// A main window made on a working folder with every directory in place,
// never shown, so no loading runs: its menus, dialogs and gallery are real.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    work_ = temporary_.path();
    makeMainForm();
  }

  // Every directory in place in work_ (those there already are kept), and
  // the main window made on it.
  void makeMainForm() {
    for (const char* folder : {"TEMP", "SCRIPTS", "DATA\\FOLIOS", "DATA\\DLISTS", "DATA\\MACROS", "DATA\\BMPS",
                               "DATA\\GALLERY", "DATA\\WEBS", "DATA\\FOREX", "DATA\\QUOTES"})
      forceFolders(work_ + folder);
    writeWholeFile(work_ + "Kestrova.INI", "[Directories]\r\n<GALLERY>=" + work_ + "DATA\\GALLERY\r\n<WEBS>=" +
                                               work_ + "DATA\\WEBS\r\n");
    TMainFormContext context;
    context.executablePath = work_ + "Kestrova.exe";
    context.currentDirectory = work_;
    context.messageBox = &messages_;
    main_ = std::make_unique<TmainForm>(context);
    ASSERT_FALSE(main_->closeOnActivate);
  }

  TTemporaryFolder temporary_;
  std::string work_;
  TScriptedMessageBox messages_;
  std::unique_ptr<TmainForm> main_;
};
