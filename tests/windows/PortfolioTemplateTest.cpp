#include <gtest/gtest.h>

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

TEST_F(PortfolioTemplate, AMissingFileLeavesTheTemplateUntouched) {
  deleteFile(folder + "SystemControls.INI");
  const std::string before = treeText(temp.path() + "Template\\");
  EXPECT_EQ(makeTemplate(folder, temp.path()), -4);
  EXPECT_EQ(treeText(temp.path() + "Template\\"), before);
  EXPECT_FALSE(folderExists(temp.path() + "Template.BAK"));
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
