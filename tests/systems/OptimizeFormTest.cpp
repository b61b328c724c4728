#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/SheetPanel.h"
#include "model/PortableIniFile.h"
#include "platform/ComCtrls.h"
#include "platform/DateTimePicker.h"
#include "platform/LocaleSettings.h"
#include "platform/StdControls.h"
#include "sheet/Cell.h"
#include "sheet/Sheet.h"
#include "systems/OptimizeForm.h"
#include "windows/DateWindow.h"
#include "tests/support/GermanRegionalSettings.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestSupport.h"
#include "tests/systems/SystemPortfolio.h"

namespace {

// An optimisable parameter "DAYS" from 0 to high in the given steps, on a
// system whose range is 2 to 9 March.
TSystemParameter& daysParameter(TSystem& system, double high, int steps) {
  system.Params().addParameter(-1, -1, system.Params().count());
  TSystemParameter& days = *system.Params().parameter(system.Params().count() - 1);
  days.setSymbol("DAYS");
  days.setHigh(high);
  days.setSteps(steps);
  system.setToDate(SystemPortfolio::march(9));
  system.setFromDate(SystemPortfolio::march(2));
  return days;
}

}  // namespace

TEST(OptimizeDialog, FindsTheBestCombinationAndOkWritesItIntoTheSystem) {
  SystemPortfolio folder;
  setDirectory("<TEMP>", folder.sample.temporary.path());
  TSystem system;
  SystemPortfolio::addRule(system, "AAA", "X-FROM_DATE<DAYS");
  TSystemParameter& days = daysParameter(system, 4, 5);
  days.setValue(1);

  ToptimizeForm form;
  TModalDriver driver(form, {[&] {
                               EXPECT_FALSE(form.executeBitBtn->enabled());  // no objective yet
                               form.objectiveComboBox->setText("DAYS*(5-DAYS)");
                               form.updateExecute();
                               ASSERT_TRUE(form.executeBitBtn->enabled());
                               form.executeBitBtn->performClick();
                             },
                             [&] {
                               EXPECT_EQ(form.progressBar->position(), 100);
                               EXPECT_EQ(form.Optimizer().simulations(), 5u);
                               EXPECT_EQ(form.Optimizer().maxResult().objective(), 6);
                               TSheet& sheet = form.resultSheetPanel->sheet();
                               sheet.currentCol = 1;
                               sheet.currentRow = 3;
                               form.resultSheetPanel->refresh();
                               EXPECT_FALSE(form.okBtn->enabled());  // the "Symbol" column
                               sheet.currentCol = 2;
                               form.resultSheetPanel->refresh();
                               captureClient(form.handle()).savePng("optimize-dialog");
                               ASSERT_TRUE(form.okBtn->enabled());
                               form.okBtn->performClick();
                             }});
  EXPECT_TRUE(form.execute(&folder.table, &system, nullptr));
  EXPECT_FALSE(driver.timedOut());
  EXPECT_EQ(days.Value(), 2);  // the first of the two best: 2 * 3 and 3 * 2
  EXPECT_EQ(folder.table.count(), 1);

  // Opened again for another system, nothing of the last run can be accepted.
  TSystem other;
  SystemPortfolio::addRule(other, "AAA", "1");
  other.Params().addParameter(-1, -1, 0);
  TSystemParameter& width = *other.Params().parameter(0);
  width.setSymbol("WIDTH");
  width.setHigh(20);
  width.setLow(10);
  width.setSteps(3);
  width.setValue(15);
  TModalDriver reopened(form, {[&] {
    // Nor its progress.
    EXPECT_EQ(form.progressBar->position(), 0);
    TSheet& sheet = form.resultSheetPanel->sheet();
    EXPECT_EQ(sheet.currentCol, 2);
    EXPECT_EQ(sheet.getCellText(2, 2, true), "");
    EXPECT_FALSE(form.okBtn->enabled());
    if (form.okBtn->enabled()) form.okBtn->performClick();
    form.close();
  }});
  EXPECT_FALSE(form.execute(&folder.table, &other, nullptr));
  EXPECT_FALSE(reopened.timedOut());
  EXPECT_EQ(width.Value(), 15);
  EXPECT_EQ(width.Low(), 10);

  // The objective is remembered among the recent ones in the controls file.
  const std::string controls = folder.sample.temporary.path() + "SystemControls.INI";
  {
    TPortableIniFile ini(controls);
    form.objectiveComboBox->setText("DAYS*2");
    form.saveGUIoptions(ini);
  }
  ToptimizeForm reloaded;
  TPortableIniFile ini(controls);
  reloaded.loadGUIoptions(ini);
  EXPECT_EQ(reloaded.objectiveComboBox->text(), "DAYS*2");
  ASSERT_EQ(reloaded.objectiveComboBox->count(), 2);
  EXPECT_EQ(reloaded.objectiveComboBox->item(1), "DAYS*(5-DAYS)");
}

// Enter anywhere but in the runs box accepts what OK would accept; Escape
// closes; the runs box keeps both keys.
// The table shows the numbers the runs gave in the user's own spelling,
// where "," is the decimal separator too: read with "." as the decimal
// point, 1.25 showed as 125 under German settings and as nothing under French.
TEST(OptimizeDialog, TheResultTableShowsTheRunsNumbersUnderGermanAndFrenchSettings) {
  struct TRegional {
    const char* name;
    std::function<void()> load;
    const char* maxShown;  // 1000001.25 as the table shows it
    const char* minShown;  // 1000000
  };
  const TRegional regionals[] = {
      {"German", [] { TGermanRegionalSettings german; loadLocaleSettingsFromSystem(); }, "1.000.001,25", "1.000.000"},
      {"French", [] { TRegionalSettings french(frenchRegionalSettings()); loadLocaleSettingsFromSystem(); },
       "1\xA0" "000\xA0" "001,25", "1\xA0" "000\xA0" "000"},
  };
  const TLocaleSettings saved = localeSettings();
  for (const TRegional& regional : regionals) {
    SCOPED_TRACE(regional.name);
    regional.load();
    SystemPortfolio folder;
    setDirectory("<TEMP>", folder.sample.temporary.path());
    TSystem system;
    SystemPortfolio::addRule(system, "AAA", "1");
    TSystemParameter& days = daysParameter(system, 0.5, 3);  // 0, 0.25, 0.5
    days.setValue(0.1);

    ToptimizeForm form;
    std::vector<double> shown;
    std::string maxShown, minShown, lastValueShown;
    TModalDriver driver(form, {[&] {
                                 form.objectiveComboBox->setText("1000000+DAYS*2,5");
                                 form.updateExecute();
                                 ASSERT_TRUE(form.executeBitBtn->enabled());
                                 form.executeBitBtn->performClick();
                               },
                               [&] {
                                 TSheet& sheet = form.resultSheetPanel->sheet();
                                 for (int col = 2; col <= 4; ++col)
                                   for (int row = 2; row <= 3; ++row) shown.push_back(sheet.getCellNumber(col, row));
                                 maxShown = sheet.getCellText(2, 2, true);
                                 minShown = sheet.getCellText(3, 2, true);
                                 lastValueShown = sheet.getCellText(4, 3, true);
                                 sheet.currentCol = 2;
                                 sheet.currentRow = 3;
                                 form.resultSheetPanel->refresh();
                                 ASSERT_TRUE(form.okBtn->enabled());
                                 form.okBtn->performClick();
                               }});
    const bool written = form.execute(&folder.table, &system, nullptr);
    localeSettings() = saved;
    EXPECT_FALSE(driver.timedOut());
    EXPECT_EQ(form.Optimizer().simulations(), 3u);
    // Max, Min and Last: the objective, then DAYS.
    EXPECT_EQ(shown, (std::vector<double>{1000001.25, 0.5, 1000000, 0, 1000001.25, 0.5}));
    EXPECT_EQ(maxShown, regional.maxShown);
    EXPECT_EQ(minShown, regional.minShown);
    EXPECT_EQ(lastValueShown, "0,5");
    EXPECT_TRUE(written);
    EXPECT_EQ(days.Value(), 0.5);  // what the Max column showed
  }
}

TEST(OptimizeDialog, EnterAnywhereAcceptsWhatOkWouldAndTheRunsBoxKeepsItsKeys) {
  SystemPortfolio folder;
  setDirectory("<TEMP>", folder.sample.temporary.path());
  TSystem system;
  SystemPortfolio::addRule(system, "AAA", "X-FROM_DATE<DAYS");
  TSystemParameter& days = daysParameter(system, 4, 5);
  days.setValue(1);

  ToptimizeForm form;
  TModalDriver driver(form, {[&] {
                               form.objectiveComboBox->setText("DAYS*(5-DAYS)");
                               form.updateExecute();
                               form.executeBitBtn->performClick();
                             },
                             [&] {
                               TSheet& sheet = form.resultSheetPanel->sheet();
                               sheet.currentCol = 2;
                               sheet.currentRow = 3;
                               form.resultSheetPanel->refresh();
                               ASSERT_TRUE(form.okBtn->enabled());
                               form.shuffleCheckBox->setFocus();
                               postKey(form.shuffleCheckBox->handle(), VK_RETURN);
                             }});
  EXPECT_TRUE(form.execute(&folder.table, &system, nullptr));
  EXPECT_FALSE(driver.timedOut());
  EXPECT_EQ(days.Value(), 2);

  bool openAfterRunsKeys = false;
  TModalDriver reopened(form, {[&] {
                                 form.shuffleCheckBox->setChecked(true);
                                 form.updateExecute();
                                 form.runsEdit->setText("3");
                                 form.runsEdit->setFocus();
                                 form.runsEdit->setText("7");
                                 postKey(form.runsEdit->handle(), VK_ESCAPE);
                                 EXPECT_EQ(form.runsEdit->text(), "3");
                                 postKey(form.runsEdit->handle(), VK_RETURN);
                                 openAfterRunsKeys = form.visible();
                                 form.objectiveComboBox->setFocus();
                                 postKey(GetFocus(), VK_ESCAPE);
                               }});
  EXPECT_FALSE(form.execute(&folder.table, &system, nullptr));
  EXPECT_FALSE(reopened.timedOut());
  EXPECT_TRUE(openAfterRunsKeys);
  EXPECT_EQ(days.Value(), 2);
}

// A formula already among the kept ones stays where it is; another one goes
// first, and the list keeps its length.
TEST(OptimizeDialog, OnlyAnObjectiveNotAmongTheKeptOnesGoesToTheTopOfTheList) {
  TTemporaryFolder folder;
  const std::string controls = folder.path() + "SystemControls.INI";
  writeWholeFile(controls,
                 "[OptimizeSystem]\r\nObjective=b\r\nKeepRecentObjectives=3\r\n"
                 "[OptimizeSystemObjectives]\r\n0=a\r\n1=b\r\n2=c\r\n");
  ToptimizeForm form;
  auto kept = [&] {
    std::vector<std::string> items;
    for (int i = 0; i < form.objectiveComboBox->count(); ++i) items.push_back(form.objectiveComboBox->item(i));
    return items;
  };
  {
    const TPortableIniFile ini(controls);
    form.loadGUIoptions(ini);
  }
  TPortableIniFile ini(controls);
  form.saveGUIoptions(ini);
  EXPECT_EQ(kept(), (std::vector<std::string>{"a", "b", "c"}));
  form.objectiveComboBox->setText("d");
  form.saveGUIoptions(ini);
  EXPECT_EQ(kept(), (std::vector<std::string>{"d", "a", "b"}));
  EXPECT_EQ(ini.readString("OptimizeSystemObjectives", "0", ""), "d");
  EXPECT_EQ(ini.readString("OptimizeSystemObjectives", "2", ""), "b");
}

namespace {

class TPickedFile : public TFileDialog {
 public:
  explicit TPickedFile(std::string picked) : picked_(std::move(picked)) {}
  bool open(HWND, const TFileDialogOptions& options, std::string& fileName) override {
    initialDir = options.initialDir;
    fileName = picked_;
    return true;
  }
  std::string initialDir;

 private:
  std::string picked_;
};

}  // namespace

TEST(OptimizeDialog, TheTestWindowFollowsItsButtonsAndComesBackFromTheControlsFile) {
  SystemPortfolio folder;
  const std::string temporary = folder.sample.temporary.path();
  setDirectory("<TEMP>", temporary);
  TSystem system;
  SystemPortfolio::addRule(system, "AAA", "1");
  system.setToDate(SystemPortfolio::march(9));
  system.setFromDate(SystemPortfolio::march(2));
  TPickedFile picked(temporary + "runs.csv");

  ToptimizeForm form;
  form.fileDialog = &picked;
  // The arrows say what they do.
  EXPECT_EQ(registeredToolTip(form.frameBackBtn->handle()), "One frame back");
  EXPECT_EQ(registeredToolTip(form.oneDayBackBtn->handle()), "One day back");
  EXPECT_EQ(registeredToolTip(form.oneDayForwardBtn->handle()), "One day forward");
  EXPECT_EQ(registeredToolTip(form.frameForwardBtn->handle()), "One frame forward");
  EXPECT_EQ(registeredToolTip(FindWindowExA(form.daysComboBox->handle(), nullptr, "Edit", nullptr)), "Days in range");
  TModalDriver driver(form, {[&] {
    EXPECT_EQ(form.fromDateTimePicker->dateTime(), SystemPortfolio::march(2));
    form.lastDateBtn->performClick();
    EXPECT_EQ(form.toDateTimePicker->dateTime(), SystemPortfolio::march(10));
    EXPECT_EQ(form.fromDateTimePicker->dateTime(), SystemPortfolio::march(2));
    form.daysComboBox->setText("1");
    form.daysComboBox->onChange();
    EXPECT_EQ(form.fromDateTimePicker->dateTime(), SystemPortfolio::march(9));  // never below two days
    form.frameBackBtn->performClick();
    form.oneDayBackBtn->performClick();
    EXPECT_EQ(form.fromDateTimePicker->dateTime(), SystemPortfolio::march(6));
    EXPECT_EQ(form.toDateTimePicker->dateTime(), SystemPortfolio::march(7));

    form.logBrowseBitBtn->performClick();
    EXPECT_EQ(_stricmp(picked.initialDir.c_str(), temporary.c_str()), 0);  // no log yet: <TEMP>
    EXPECT_EQ(_stricmp(form.logEdit->text().c_str(), "<TEMP>runs.csv"), 0);
    form.shuffleCheckBox->setChecked(true);
    form.runsEdit->setText("1");
    form.updateExecute();
    EXPECT_FALSE(form.aggregationButtons[0]->enabled());  // one run has nothing to aggregate
    form.runsEdit->setText("4");
    form.updateExecute();
    EXPECT_TRUE(form.aggregationButtons[0]->enabled());
    form.aggregationButtons[2]->performClick();
    form.close();
  }});
  EXPECT_FALSE(form.execute(&folder.table, &system, nullptr));
  EXPECT_FALSE(driver.timedOut());

  const std::string controls = temporary + "SystemControls.INI";
  {
    TPortableIniFile ini(controls);
    form.saveGUIoptions(ini);
  }
  ToptimizeForm reloaded;
  const TPortableIniFile ini(controls);
  reloaded.loadGUIoptions(ini);
  EXPECT_TRUE(reloaded.aggregationButtons[2]->checked());
  EXPECT_FALSE(reloaded.aggregationButtons[0]->checked());
  EXPECT_EQ(reloaded.fromDateTimePicker->dateTime(), SystemPortfolio::march(6));
  EXPECT_EQ(reloaded.toDateTimePicker->dateTime(), SystemPortfolio::march(7));
  EXPECT_EQ(_stricmp(reloaded.logEdit->text().c_str(), (temporary + "runs.csv").c_str()), 0);
}

TEST(OptimizeDialog, KeptDatesStartWithinThePricesResultsAreLockedAndTheirSizesKept) {
  SystemPortfolio folder;
  const std::string temporary = folder.sample.temporary.path();
  setDirectory("<TEMP>", temporary);
  TSystem system;
  SystemPortfolio::addRule(system, "AAA", "1");
  daysParameter(system, 2, 2);
  const std::string controls = temporary + "SystemControls.INI";
  {
    TPortableIniFile ini(controls);
    ini.writeFloat("OptimizeSystem", "FromDate", SystemPortfolio::march(1) - 20);
    ini.writeFloat("OptimizeSystem", "ToDate", SystemPortfolio::march(8));
    ini.writeInteger("ResultFixedHeight", "Fixed", 31);
    ini.writeInteger("ResultFieldWidths", "3", 77);
    ini.updateFile();
  }
  ToptimizeForm form;
  form.loadGUIoptions(TPortableIniFile(controls));
  EXPECT_EQ(form.resultSheetPanel->getRowHeight(1), 31);
  EXPECT_EQ(form.resultSheetPanel->getColWidth(3), 77);
  TModalDriver driver(form, {[&] {
    EXPECT_EQ(form.fromDateTimePicker->dateTime(), SystemPortfolio::march(1));
    EXPECT_EQ(form.toDateTimePicker->dateTime(), SystemPortfolio::march(8));
    const TSheet& sheet = form.resultSheetPanel->sheet();
    for (int col = 1; col <= 4; ++col)
      for (int row = 1; row <= 3; ++row) {
        const TCell* cell = sheet.getCell(col, row);
        ASSERT_NE(cell, nullptr) << col << "," << row;
        EXPECT_TRUE(cell->locked) << col << "," << row;
      }
    form.resultSheetPanel->setColWidth(2, 66);
    form.close();
  }});
  form.execute(&folder.table, &system, nullptr);
  EXPECT_FALSE(driver.timedOut());
  {
    TPortableIniFile ini(controls);
    form.saveGUIoptions(ini);
    ini.updateFile();
  }
  const TPortableIniFile saved(controls);
  EXPECT_EQ(saved.readInteger("ResultFieldWidths", "2", 0), 66);
  EXPECT_EQ(saved.readInteger("ResultFixedHeight", "Fixed", 0), 31);
}

TEST(OptimizeDialog, APortfolioWithoutPricesCannotBeOptimised) {
  SystemPortfolio folder;
  std::string made;
  ASSERT_EQ(folder.table.newPortfolio("Empty", "EMP", made, folder.sample.folios, "EUR"), 0);
  folder.table.setCurrentIndex(folder.table.count() - 1);
  TSystem system;
  daysParameter(system, 2, 2);
  ToptimizeForm form;
  bool executable = true;
  TModalDriver driver(form, {[&] {
    form.objectiveComboBox->setText("DAYS");
    form.updateExecute();
    executable = form.executeBitBtn->enabled();
    form.close();
  }});
  form.execute(&folder.table, &system, nullptr);
  EXPECT_FALSE(driver.timedOut());
  EXPECT_FALSE(executable);
}

// The days box once took any count: one reaching before the first day the
// pickers show left the pickers on another day than the box, and Enter
// closed the dialog on it.
TEST(OptimizeDialog, ADaysCountReachingBeforeThePickersFirstDayIsRefusedAndAStoredOneLoadsClipped) {
  SystemPortfolio folder;
  const std::string temporary = folder.sample.temporary.path();
  setDirectory("<TEMP>", temporary);
  TSystem system;
  SystemPortfolio::addRule(system, "AAA", "1");
  system.setToDate(SystemPortfolio::march(9));
  system.setFromDate(SystemPortfolio::march(2));
  TScriptedMessageBox messages(IDOK);
  ToptimizeForm form;
  form.messages = &messages;
  bool openAfterRefusal = false;
  TModalDriver driver(form, {[&] {
    ASSERT_EQ(form.daysComboBox->text(), "8");
    const HWND edit = FindWindowExA(form.daysComboBox->handle(), nullptr, "Edit", nullptr);
    sendMouse(edit, WM_LBUTTONDOWN, 4, 4);
    sendMouse(edit, WM_LBUTTONUP, 4, 4);
    ASSERT_TRUE(pumpUntil([&] { return GetFocus() == edit; }));
    postKey(edit, VK_END);
    for (const char key : std::string("183001")) postChar(edit, key);
    postKey(edit, VK_RETURN);
    openAfterRefusal = form.visible();
    form.close();
  }});
  EXPECT_FALSE(form.execute(&folder.table, &system, nullptr));
  EXPECT_FALSE(driver.timedOut());
  EXPECT_TRUE(openAfterRefusal);
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_EQ(messages.texts[0].rfind("\"8183001\" is no number this box can keep", 0), 0u) << messages.texts[0];
  EXPECT_EQ(form.daysComboBox->text(), "8");
  EXPECT_EQ(form.fromDateTimePicker->dateTime(), SystemPortfolio::march(2));

  const std::string controls = temporary + "SystemControls.INI";
  {
    TPortableIniFile ini(controls);
    form.saveGUIoptions(ini);
    ini.writeFloat("OptimizeSystem", "FromDate", -92136636);
  }
  ToptimizeForm reloaded;
  reloaded.loadGUIoptions(TPortableIniFile(controls));
  EXPECT_EQ(reloaded.fromDateTimePicker->dateTime(), firstPickerDay);
  EXPECT_EQ(reloaded.toDateTimePicker->dateTime(), SystemPortfolio::march(9));
  EXPECT_EQ(reloaded.daysComboBox->text(), std::to_string(mostDaysEndingOn(SystemPortfolio::march(9))));
}
