#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/ListViewXPSafe.h"
#include "model/Directories.h"
#include "model/PortableIniFile.h"
#include "platform/FileSystem.h"
#include "platform/Timer.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestSupport.h"
#include "windows/FolioPickForm.h"
#include "windows/FolioPickSearch.h"

namespace {

void writePortfolio(const std::string& folder, const std::string& name, const std::string& symbol,
                    const std::string& currency, bool loadAlways) {
  forceFolders(folder);
  writeWholeFile(folder + "\\0.INI", "[Portfolio]\r\nName=" + name + "\r\nSymbol=" + symbol + "\r\nCurrency=" +
                                         currency + "\r\nLoadAlways=" + (loadAlways ? "1" : "0") + "\r\n");
}

bool loadsAlways(const std::string& folder) {
  TPortableIniFile header(folder + "0.INI");
  return header.readBool("Portfolio", "LoadAlways", false);
}

// Three portfolios under <FOLIOS>, the first and the third loading always.
class FolioPick : public ::testing::Test {
 protected:
  void SetUp() override {
    folios_ = temporary_.path() + "FOLIOS\\";
    writePortfolio(folios_ + "1", "Growth", "GRW", "EUR", true);
    writePortfolio(folios_ + "2", "income", "INC", "USD", false);
    writePortfolio(folios_ + "3", "Global Growth", "GLB", "CHF", true);
    setDirectory("<FOLIOS>", folios_);
    folios_ = getDirectory("<FOLIOS>");  // as the table keeps it: upper case
    form_.listFolios();
  }
  void TearDown() override { setDirectory("<FOLIOS>", ""); }

  TTemporaryFolder temporary_;
  std::string folios_;
  TfolioPickForm form_;
};

}  // namespace

TEST_F(FolioPick, AnUntouchedCountDownClosesAsCancelledAndChangesNoMark) {
  TListViewXPSafe& list = *form_.folioListView;
  ASSERT_EQ(list.itemCount(), 3);
  EXPECT_TRUE(list.checked(0));
  EXPECT_FALSE(list.checked(1));
  EXPECT_EQ(list.itemText(2, 2), "CHF");
  const DWORD start = GetTickCount();
  EXPECT_FALSE(form_.execute(1, false));
  EXPECT_GE(GetTickCount() - start, 900u);
  EXPECT_FALSE(form_.visible());
  EXPECT_TRUE(loadsAlways(folios_ + "1\\"));
  EXPECT_FALSE(loadsAlways(folios_ + "2\\"));
  // An accepting auto-close answers true.
  EXPECT_TRUE(form_.execute(1, true));
}

TEST_F(FolioPick, UntickingAndEnterClearsTheMarkInTheHeaderFile) {
  TModalDriver driver(form_, {[&] {
                                form_.folioListView->setChecked(0, false);
                                postKey(form_.folioListView->handle(), VK_RETURN);
                              }});
  EXPECT_TRUE(form_.execute(10, false));
  EXPECT_FALSE(form_.countingDown());
  EXPECT_EQ(form_.saveLoadAlwaysStatus(), 0);
  EXPECT_FALSE(loadsAlways(folios_ + "1\\"));
  EXPECT_TRUE(loadsAlways(folios_ + "3\\"));
  std::string folder;
  form_.getFirstFolioDir(true, folder);
  EXPECT_EQ(includeTrailingBackslash(folder), folios_ + "3\\");
  form_.getNextFolioDir(true, folder);
  EXPECT_EQ(folder, "");
}

TEST_F(FolioPick, AKeyStopsTheCountDownForGoodAndEscapeCancels) {
  TModalDriver driver(form_, {[&] { postKey(form_.folioListView->handle(), VK_DOWN); },
                              [&] {
                                // A timer as long as the count-down, started
                                // after it, has run out: so would the count-down.
                                bool witnessRan = false;
                                TTimer witness(1000, [&] { witnessRan = true; });
                                witness.setEnabled(true);
                                pumpUntil([&] { return witnessRan; });
                              },
                              [&] {
                                EXPECT_TRUE(form_.visible());
                                postKey(form_.folioListView->handle(), VK_ESCAPE);
                              }});
  EXPECT_FALSE(form_.execute(1, true));
  EXPECT_FALSE(driver.timedOut());
}

// The list is the dialog's field: the arrows move in it at once, though
// the OK button below it comes first in the window.
TEST_F(FolioPick, OpensWithTheKeysInTheList) {
  HWND focused = nullptr;
  TModalDriver driver(form_, {[&] {
    focused = focusInside(form_.handle());
    postKey(form_.folioListView->handle(), VK_ESCAPE);
  }});
  form_.execute(0, true);
  EXPECT_EQ(focused, form_.folioListView->handle());
}

TEST_F(FolioPick, SortingByCurrencyOrdersTheFoldersVisited) {
  form_.folioListView->onColumnClick(2);
  std::vector<std::string> order;
  std::string folder;
  for (form_.getFirstFolioDir(true, folder); !folder.empty(); form_.getNextFolioDir(true, folder))
    order.push_back(includeTrailingBackslash(folder));
  EXPECT_EQ(order, (std::vector<std::string>{folios_ + "3\\", folios_ + "1\\"}));  // CHF before EUR
  form_.folioListView->onColumnClick(2);  // again: descending
  EXPECT_EQ(form_.folioListView->itemText(0, 2), "USD");
}

TEST_F(FolioPick, FindIgnoresTheCaseOfLettersAndMovesOnFromTheSelection) {
  form_.findDialog.findText = "growth";
  form_.findDialog.options.matchCase = false;
  form_.findDialog.options.down = true;
  TListViewXPSafe& list = *form_.folioListView;
  ASSERT_TRUE(form_.findInListView(list));
  EXPECT_EQ(list.itemIndex(), 0);
  ASSERT_TRUE(form_.findInListView(list));
  EXPECT_EQ(list.itemIndex(), 2);
  EXPECT_EQ(list.selectedCount(), 1);
  // The last row searched from the last row finds itself again.
  EXPECT_TRUE(form_.findInListView(list));
  EXPECT_EQ(list.itemIndex(), 2);
  form_.findDialog.options.matchCase = true;
  form_.findDialog.findText = "INCOME";
  EXPECT_FALSE(form_.findInListView(list));
  EXPECT_EQ(list.itemIndex(), 2);
}

TEST(FolioPickSearch, UpwardSearchStartsBeforeTheSelectionAndAnEmptyListFindsNothing) {
  const std::vector<std::string> rows = {"Alpha", "beta", "Gamma", "ALPHA two"};
  EXPECT_EQ(findFolioRow(rows, 3, "alpha", false, false), 0);
  EXPECT_EQ(findFolioRow(rows, 0, "alpha", false, false), 0);
  EXPECT_EQ(findFolioRow(rows, -1, "gamma", false, false), -1);
  EXPECT_EQ(findFolioRow(rows, -1, "gamma", true, false), 2);
  EXPECT_EQ(findFolioRow({}, -1, "a", true, false), -1);
}
