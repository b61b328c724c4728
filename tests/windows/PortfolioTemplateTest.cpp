#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <sstream>
#include <string>

#include "model/PortfolioTable.h"
#include "platform/FileSystem.h"
#include "tests/support/TestFolders.h"
#include "windows/PortfolioTemplate.h"

namespace {

// Every file of a tree with its relative path and bytes, folders in the
// order the file system lists them: equal texts mean equal trees.
std::string treeText(const std::string& folder, const std::string& prefix = "") {
  std::string text;
  for (const TFoundFile& entry : findFiles(folder + "*")) {
    if (entry.isFolder)
      text += treeText(folder + entry.name + "\\", prefix + entry.name + "\\");
    else
      text += prefix + entry.name + "=" + readWholeFile(folder + entry.name) + "\n";
  }
  return text;
}

const char* const windowFiles[] = {"AssetFields.INI",       "AssetControls.INI",       "QuoteFields.INI",
                                   "QuoteControls.INI",     "TransactionFields.INI",   "TransactionControls.INI",
                                   "System.INI",            "SystemControls.INI"};

class PortfolioTemplate : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = temp.path() + "3\\";
    forceFolders(folder + "Charts");
    for (const char* name : windowFiles) writeWholeFile(folder + name, std::string("[") + name + "]");
    writeWholeFile(folder + "0.INI", "[Portfolio]\r\nName=Mine\r\n");
    writeWholeFile(folder + "Notes.TXT", "private");
    writeWholeFile(folder + "1.AST", "asset");
    writeWholeFile(folder + "Charts\\Asset_0.INI", "chart");
    forceFolders(temp.path() + "Template");
    writeWholeFile(temp.path() + "Template\\Old.INI", "old");
  }

  TTemporaryFolder temp;
  std::string folder;
};

}  // namespace

TEST_F(PortfolioTemplate, HoldsExactlyTheWindowFilesAndViews) {
  ASSERT_EQ(makeTemplate(folder, temp.path()), 0);
  std::set<std::string> expected{"Charts\\Asset_0.INI=chart"};
  for (const char* name : windowFiles) expected.insert(std::string(name) + "=[" + name + "]");
  std::set<std::string> made;
  std::istringstream lines(treeText(temp.path() + "Template\\"));
  for (std::string line; std::getline(lines, line);) made.insert(line);
  EXPECT_EQ(made, expected);
  EXPECT_EQ(treeText(temp.path() + "Template.BAK\\"), "Old.INI=old\n");
  EXPECT_FALSE(folderExists(temp.path() + "NewTemplate"));
}

// A portfolio without a trading system, or whose Quotes window was never
// opened, has not all the window files: the template is made of those it
// has. A copy that fails still leaves the old template as it was.
TEST_F(PortfolioTemplate, AWindowFileThePortfolioLacksIsLeftOut) {
  deleteFile(folder + "System.INI");
  deleteFile(folder + "SystemControls.INI");
  ASSERT_EQ(makeTemplate(folder, temp.path()), 0);
  EXPECT_FALSE(fileExists(temp.path() + "Template\\System.INI"));
  EXPECT_EQ(readWholeFile(temp.path() + "Template\\QuoteControls.INI"), "[QuoteControls.INI]");

  const std::string before = treeText(temp.path() + "Template\\");
  // Held by another program without sharing: the copy cannot read it.
  HANDLE held = CreateFileA((folder + "QuoteFields.INI").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(makeTemplate(folder, temp.path()), -4);
  CloseHandle(held);
  EXPECT_EQ(treeText(temp.path() + "Template\\"), before);
}

TEST_F(PortfolioTemplate, ANewPortfolioTakesTheTemplateAndKeepsItsFolderOnFailure) {
  const std::string fresh = temp.path() + "4\\";
  forceFolders(fresh);
  writeWholeFile(fresh + "0.INI", "header");
  ASSERT_EQ(copyTemplateInto(temp.path(), fresh), 0);
  EXPECT_EQ(treeText(fresh), "0.INI=header\nOld.INI=old\n");

  // A name taken in the new folder fails the copy, yet the folder and its
  // header stay: the portfolio is still open when this happens.
  writeWholeFile(temp.path() + "Template\\0.INI", "template header");
  const std::string other = temp.path() + "5\\";
  forceFolders(other);
  writeWholeFile(other + "0.INI", "header");
  EXPECT_EQ(copyTemplateInto(temp.path(), other), -4);
  EXPECT_EQ(readWholeFile(other + "0.INI"), "header");
  EXPECT_EQ(findFiles(temp.path() + "Template.*.TMP").size(), 0u);

  EXPECT_EQ(copyTemplateInto(temp.path() + "none\\", other), 0);
}

// A template made from a portfolio with views holds their folders, which
// every new portfolio is made with: its views go into them.
TEST_F(PortfolioTemplate, ANewPortfolioTakesTheViewsOfATemplateMadeFromAPortfolio) {
  ASSERT_EQ(makeTemplate(folder, temp.path()), 0);
  TPortfolioTable table;
  ASSERT_EQ(addPortfolioFromTemplate(table, temp.path()), 0);
  ASSERT_EQ(table.count(), 1);
  const std::string made = temp.path() + "1\\";
  EXPECT_EQ(readWholeFile(made + "Charts\\Asset_0.INI"), "chart");
  EXPECT_EQ(readWholeFile(made + "AssetFields.INI"), "[AssetFields.INI]");
  EXPECT_TRUE(folderExists(made + "Graphs"));
}

TEST_F(PortfolioTemplate, ANewPortfolioThatCannotTakeTheTemplateIsClosedAndRemoved) {
  TPortfolioTable table;
  ASSERT_EQ(addPortfolioFromTemplate(table, temp.path()), 0);
  ASSERT_EQ(table.count(), 1);
  EXPECT_TRUE(fileExists(temp.path() + "1\\Old.INI"));

  forceFolders(temp.path() + "Template\\Charts");
  writeWholeFile(temp.path() + "Template\\Charts\\Folio_0.INI", "chart");
  writeWholeFile(temp.path() + "Template\\0.INI", "a header of the template's own");
  EXPECT_EQ(addPortfolioFromTemplate(table, temp.path()), -4);
  EXPECT_EQ(table.count(), 1);
  EXPECT_FALSE(folderExists(temp.path() + "2"));
  EXPECT_TRUE(fileExists(temp.path() + "1\\0.INI"));
}
