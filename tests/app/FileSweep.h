#pragma once
// The damaged-files sweep: each kind of window or view file damaged every
// way a layout can be, read and written back; and a data window on a tab of
// a main window, whose own files the sweep damages.
#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "controls/ChildForm.h"
#include "model/PortfolioTable.h"
#include "platform/FileSystem.h"
#include "platform/ExtControls.h"
#include "platform/Form.h"
#include "platform/PageControl.h"
#include "tests/model/SampleWorkFolder.h"
#include "tests/support/LayoutDamage.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestSupport.h"

// One kind of window or view file: how a clean one is made, and how one
// is read into its own class and written back to another name.
struct TFileKind {
  const char* name;
  std::function<void(const std::string& fileName)> makeClean;
  std::function<void(const std::string& from, const std::string& to)> loadAndSave;
};

// The processor time a load may take before it is taken for one that ran
// away (a damage once held a load for minutes): far above what a whole
// window's load and save takes of its own thread's time on a machine whose
// other cores are busy (up to 3 seconds), so that only a runaway reaches it.
inline constexpr std::chrono::seconds runawayLoad{15};

// A kind of file read and written back after each damage within the time
// a clean one takes (give or take Wine), giving what reading it again gives.
void sweep(const TFileKind& kind, const TTemporaryFolder& folder,
           const std::vector<TLayoutDamage>& damages = allLayoutDamages());

// The damages in groups, for the sweeps of a data window that take long
// each damage: a test of each group stays far inside a test's bound.
constexpr int layoutDamageGroups = 3;
std::vector<TLayoutDamage> layoutDamageGroup(int group);

// One data window's sweep, run with one group of damages at a time, as
// the parameters (window, group) of a test.
struct TWindowSweep {
  const char* window;
  void (*run)(int group);
};
// The test's name for a window's sweep with a group: "QuotesDamages2".
std::string windowSweepName(const TWindowSweep& sweep, int group);

// A data window on a tab of a main window, showing the sample's first
// portfolio; its options file is read when its view loads and written when
// the view is saved.
template <class Window>
struct TDataWindowHost {
  explicit TDataWindowHost(const std::string& optionsFile, int width = 760, int height = 420)
      : main(mainWindowOptions("Kestrova", width, height)) {
    table.open(sample.folios + "1\\", false, {}, nullptr, true, false);
    table.setCurrentIndex(0);
    pages.setAlign(TAlign::client);
    main.showModeless();
    window = &createChildForm<Window>(pages, "Data");
    window->setPortfolioTable(&table);
    options = pathOf(optionsFile);
  }
  // A file of the data folder, or of the portfolio's own when no folder is named.
  std::string pathOf(const std::string& file) const {
    return file.find('\\') == std::string::npos ? sample.folios + "1\\" + file : sample.data + file;
  }
  TFileKind kind(const char* name) { return kindOf(name, options); }
  TFileKind kindOf(const char* name, const std::string& file) {
    return {name,
            [this, file](const std::string& fileName) {
              loadAndSaveView();
              if (!fileExists(file)) saveChangedLayout();
              copyFile(file, fileName, false);
              userFilesAtFirst = userFiles();
            },
            [this, file](const std::string& from, const std::string& to) {
              copyFile(from, file, false);
              loadAndSaveView();
              copyFile(file, to, false);
            }};
  }
  // A look makes no options file: the layout the window shows is written
  // whole once the user changed it, and changed back.
  void saveChangedLayout() {
    const bool rowWise = window->rowWiseBtn().down();
    window->setRowWise(!rowWise);
    window->saveView();
    window->setRowWise(rowWise);
    window->saveView();
  }
  // With savePortfolios the view's order and sizes reach the files with
  // the portfolio, as at close.
  void loadAndSaveView() {
    window->loadView();
    window->saveView();
    if (savePortfolios) {
      EXPECT_EQ(table.saveAll(), 0);
    }
  }

  // The working folder's files but the windows' options and field files,
  // whose sizes follow the layout.
  std::map<std::string, std::string> userFiles() const {
    std::map<std::string, std::string> files = folderContents(sample.root);
    std::erase_if(files, [](const auto& file) {
      const std::string& name = file.first;
      return name.ends_with("Controls.INI") || name.ends_with("Fields.INI");
    });
    return files;
  }

  std::vector<std::string> changedUserFiles() const {
    const std::map<std::string, std::string> now = userFiles();
    std::vector<std::string> changed;
    for (const auto& [name, text] : now) {
      // Notes the options show are made empty at once, as the Notes button
      // makes them.
      if (!userFilesAtFirst.contains(name) && text.empty()) continue;
      if (!userFilesAtFirst.contains(name) || userFilesAtFirst.at(name) != text) changed.push_back(name);
    }
    for (const auto& [name, text] : userFilesAtFirst)
      if (!now.contains(name)) changed.push_back(name);
    return changed;
  }

  TSampleWorkFolder sample;
  TPortfolioTable table;
  TForm main;
  TPageControl& pages = main.add<TPageControl>();
  Window* window = nullptr;
  std::string options;
  bool savePortfolios = false;
  std::map<std::string, std::string> userFilesAtFirst;
};
