#include <gtest/gtest.h>

#include "controls/DownloadItem.h"
#include "model/Directories.h"
#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "controls/DownloadListing.h"
#include "platform/FileSystem.h"
#include "platform/GuidText.h"
#include "tests/support/NamedFiles.h"
#include "tests/support/TestFolders.h"

namespace {

const char* const engineText = "{B54F3741-5B07-11CF-A4B0-00AA004A55E8}";

class DownloadItem : public testing::Test {
 protected:
  DownloadItem() {
    setDirectory("<DLISTS>", lists);
    setDirectory("<SCRIPTS>", scripts);
    setDirectory("<QUOTES>", quotes);
    forceFolders(lists + "3");
  }

  TTemporaryFolder folder;
  std::string lists = folder.path() + "DLISTS\\";
  std::string scripts = folder.path() + "SCRIPTS\\";
  std::string quotes = folder.path() + "QUOTES\\";
  std::string file = lists + "3\\012.INI";
};

}  // namespace

TEST_F(DownloadItem, ReadsEveryKeyExpandingPathsAndLocalFileURLsOnly) {
  writeWholeFile(file,
                 "[DownloadItem]\r\nName=Acme Corp\r\nSymbol=ACM\r\nCurrency=USD\r\nDataPath=<quotes>acm.csv\r\n"
                 "InFormat=DMYC\r\nOutFormat=YMDOHLCV\r\nProtocol=http://\r\nURL=<QUOTES>q?s=ACM\r\nUserID=me\r\n"
                 "Password=secret\r\nURLscript=<SCRIPTS>url.js\r\nURLmethod=makeUrl\r\nURLarg1=a\r\nURLarg4=d\r\n"
                 "ParseScript=<SCRIPTS>parse.vbs\r\nParseMethod=parse\r\nLastUpdate=4.5123E+4\r\nActiveURL=1\r\n"
                 "ActiveParsing=7\r\nUseInFormat=0\r\nUrlEngine={b54f3741-5b07-11cf-a4b0-00aa004a55e8}\r\n"
                 "[Remarks]\r\n1=first\r\n2=second\r\n");
  TDownloadItem item;
  ASSERT_EQ(item.loadFromFile(file), 0);
  EXPECT_EQ(item.fileName, file);
  EXPECT_EQ(item.Name, "Acme Corp");
  EXPECT_EQ(item.OutFormat, "YMDOHLCV");
  // Paths come back upper-cased, as the directory table keeps them.
  const std::string quotesPath = getDirectory("<QUOTES>");
  const std::string scriptsPath = getDirectory("<SCRIPTS>");
  EXPECT_EQ(item.DataPath, quotesPath + "ACM.CSV");
  EXPECT_EQ(item.URL, "<QUOTES>q?s=ACM");  // not a local file: kept as stored
  EXPECT_EQ(item.URLscript, scriptsPath + "URL.JS");
  EXPECT_EQ(item.ParseScript, scriptsPath + "PARSE.VBS");
  EXPECT_EQ(item.URLarg1, "a");
  EXPECT_EQ(item.URLarg2, "");
  EXPECT_EQ(item.URLarg4, "d");
  EXPECT_DOUBLE_EQ(item.LastUpdate, 45123);
  EXPECT_TRUE(item.ActiveURL);
  EXPECT_TRUE(item.ActiveParsing);
  EXPECT_FALSE(item.UseInFormat);
  EXPECT_EQ(guidToText(item.UrlEngine), engineText);
  EXPECT_EQ(guidToText(item.ParseEngine), "{00000000-0000-0000-0000-000000000000}");
  std::string text;
  item.remarksText(text);
  EXPECT_EQ(text, "first\nsecond\n");

  item.Protocol = "file:///";
  item.URL = quotes + "ACM.TXT";
  ASSERT_EQ(item.saveToFile(), 0);
  TPortableIniFile stored(file);
  EXPECT_EQ(stored.readString("DownloadItem", "URL", ""), "<QUOTES>ACM.TXT");
  EXPECT_EQ(stored.readString("DownloadItem", "DataPath", ""), "<QUOTES>ACM.CSV");
  EXPECT_EQ(stored.readString("DownloadItem", "ParseEngine", ""), "{00000000-0000-0000-0000-000000000000}");
  TDownloadItem reloaded;
  ASSERT_EQ(reloaded.loadFromFile(file), 0);
  EXPECT_EQ(reloaded.URL, quotesPath + "ACM.TXT");
  EXPECT_EQ(reloaded.Password, "secret");
  EXPECT_TRUE(IsEqualGUID(reloaded.UrlEngine, item.UrlEngine));
  EXPECT_DOUBLE_EQ(reloaded.LastUpdate, 45123);
}

TEST_F(DownloadItem, SavingNumbersTheRemarksAfreshSoNoneIsLost) {
  writeWholeFile(file, "[DownloadItem]\r\nName=x\r\nCurrency=USD\r\n[Remarks]\r\n1=one\r\n2=two\r\n5=five\r\n");
  TDownloadItem item;
  ASSERT_EQ(item.loadFromFile(file), 0);
  std::string text;
  item.remarksText(text);
  EXPECT_EQ(text, "one\ntwo\nfive\n");
  ASSERT_EQ(item.saveToFile(), 0);

  std::vector<std::string> remarks;
  TPortableIniFile(file).readSectionValues("Remarks", remarks);
  EXPECT_EQ(remarks, (std::vector<std::string>{"1=one", "2=two", "3=five"}));
  item.Remarks.clear();
  ASSERT_EQ(item.saveToFile(), 0);
  EXPECT_FALSE(TPortableIniFile(file).sectionExists("Remarks"));
}

TEST_F(DownloadItem, AMalformedEngineEndsTheLoadWithAnErrorKeepingWhatWasRead) {
  writeWholeFile(file, std::string("[DownloadItem]\r\nName=kept\r\nUseInFormat=1\r\nUrlEngine={not-a-guid}\r\n") +
                           "ParseEngine=" + engineText + "\r\n[Remarks]\r\n1=lost\r\n");
  TDownloadItem item;
  EXPECT_EQ(item.loadFromFile(file), -6);
  EXPECT_EQ(item.Name, "kept");
  EXPECT_TRUE(item.UseInFormat);
  EXPECT_EQ(guidToText(item.ParseEngine), "{00000000-0000-0000-0000-000000000000}");
  EXPECT_TRUE(item.Remarks.empty());

  GUID untouched{};
  for (const char* bad : {"B54F3741-5B07-11CF-A4B0-00AA004A55E8", "{B54F3741-5B07-11CF-A4B0-00AA004A55E8} ",
                          "{B54F3741-5B07-11CF-A4B0+00AA004A55E8}", "{G54F3741-5B07-11CF-A4B0-00AA004A55E8}"})
    EXPECT_FALSE(tryTextToGuid(bad, untouched)) << bad;
  EXPECT_EQ(guidToText(untouched), "{00000000-0000-0000-0000-000000000000}");
}

TEST_F(DownloadItem, MissingFilesLoadEmptyAndFailedWritesAreReported) {
  TDownloadItem item;
  item.Name = "old";
  item.Remarks.push_back("1=old");
  EXPECT_EQ(item.loadFromFile(lists + "3\\7.INI"), 0);
  EXPECT_EQ(item.fileName, lists + "3\\7.INI");
  EXPECT_EQ(item.Name, "");
  EXPECT_TRUE(item.Remarks.empty());

  item.fileName = lists + "missing folder\\1.INI";
  EXPECT_EQ(item.saveToFile(), -4);
  item.fileName.clear();
  EXPECT_EQ(item.saveToFile(), -4);

  // A folder in the file's place can be neither read nor replaced.
  forceFolders(lists + "3\\8.INI");
  EXPECT_EQ(item.loadFromFile(lists + "3\\8.INI"), -3);
  item.Name = "changed";
  EXPECT_EQ(item.saveToFile(), -4);
  EXPECT_TRUE(folderExists(lists + "3\\8.INI"));
}

// A date typed with a decimal comma or a switch as a word once read as 0
// (off), and any save of the item, a rename or a remark zapped, wrote that
// over what the downloader had written.
TEST_F(DownloadItem, ANumberThatDoesNotReadStaysAsTheFileSpellsItAndIsNamed) {
  writeWholeFile(file, "[DownloadItem]\r\nName=Acme\r\nCurrency=USD\r\nLastUpdate=45123,5\r\nActiveURL=yes\r\n"
                       "ActiveParsing=1\r\nUseInFormat=1E300\r\n");
  takeLoadFailures();
  TDownloadItem item;
  ASSERT_EQ(item.loadFromFile(file), 0);
  EXPECT_EQ(item.LastUpdate, 0);
  EXPECT_FALSE(item.ActiveURL);
  EXPECT_TRUE(item.ActiveParsing);
  EXPECT_FALSE(item.UseInFormat);
  EXPECT_EQ(takeLoadFailures(), std::vector<std::string>{"Download item " + file +
                                                         " holds \"45123,5\" for LastUpdate, which is no number;"
                                                         " left as it is."});
  item.Name = "Acme Corp";
  ASSERT_EQ(item.saveToFile(), 0);
  TPortableIniFile stored(file);
  EXPECT_EQ(stored.readString("DownloadItem", "Name", ""), "Acme Corp");
  EXPECT_EQ(stored.readString("DownloadItem", "LastUpdate", ""), "45123,5");
  EXPECT_EQ(stored.readString("DownloadItem", "ActiveURL", ""), "yes");
  EXPECT_EQ(stored.readString("DownloadItem", "UseInFormat", ""), "1E300");

  // A value given in its place is written.
  item.LastUpdate = 45200;
  item.ActiveURL = true;
  ASSERT_EQ(item.saveToFile(), 0);
  TDownloadItem reloaded;
  ASSERT_EQ(reloaded.loadFromFile(file), 0);
  EXPECT_EQ(reloaded.LastUpdate, 45200);
  EXPECT_TRUE(reloaded.ActiveURL);
  EXPECT_EQ(TPortableIniFile(file).readString("DownloadItem", "UseInFormat", ""), "1E300");
  takeLoadFailures();
}

TEST_F(DownloadItem, RemarksComeInTheOrderOfTheirKeys) {
  writeWholeFile(file, "[DownloadItem]\r\nName=x\r\nCurrency=USD\r\n[Remarks]\r\n2=second\r\n1=first\r\n3=third\r\n");
  TDownloadItem item;
  ASSERT_EQ(item.loadFromFile(file), 0);
  std::string text;
  item.remarksText(text);
  EXPECT_EQ(text, "first\nsecond\nthird\n");
  ASSERT_EQ(item.saveToFile(), 0);
  // Numbered as the program numbers them, they keep the lines another
  // program wrote, in its order.
  const TPortableIniFile stored(file);
  EXPECT_EQ(stored.readString("Remarks", "1", ""), "first");
  EXPECT_EQ(stored.readString("Remarks", "2", ""), "second");
  EXPECT_EQ(stored.readString("Remarks", "3", ""), "third");
}

// An item file that could not be read, or only in part (a line that is no
// entry, an engine that does not read and the keys after it, a date that
// does not read), is named; a save with nothing changed leaves it as it
// is, and a change writes that change alone, never what stood in for the
// rest.
TEST_F(DownloadItem, AnItemNotReadWholeIsNamedAndOnlyWhatTheUserChangedIsWritten) {
  takeUnreadableFiles();
  takePartlyReadFiles();
  const std::string malformed = std::string("[DownloadItem]\r\nName=kept\r\nUrlEngine={not-a-guid}\r\n") +
                                "ParseEngine=" + engineText + "\r\n[Remarks]\r\n1=left by the downloader\r\n";
  takeLoadFailures();
  const std::string unreadDate = "[DownloadItem]\r\nName=kept\r\nLastUpdate=4,5E+4\r\n";
  // Emptied, or cut off inside its symbol or before its own section, an
  // item once showed a row of nothing, or the start of a value, unnamed.
  for (const std::string& damaged :
       {malformed, unreadDate, std::string("[DownloadItem\r\nName=kept\r\nSymbol=ACM\r\n"), std::string(),
        std::string("[DownloadItem]\r\nName=kept\r\nSymbol=AC"), std::string("; made by hand\r\n")}) {
    writeWholeFile(file, damaged);
    TDownloadItem item;
    item.loadFromFile(file);
    // A number that does not read is named with its key and value.
    if (damaged == unreadDate)
      EXPECT_EQ(takeLoadFailures().size(), 1u);
    else
      EXPECT_EQ(takeFilesNamedAsPartlyRead(), std::vector<std::string>{file}) << damaged;
    ASSERT_EQ(item.saveToFile(), 0);
    EXPECT_EQ(readWholeFile(file), damaged);
  }

  writeWholeFile(file, malformed);
  TDownloadItem item;
  ASSERT_EQ(item.loadFromFile(file), -6);
  item.Name = "renamed";
  ASSERT_EQ(item.saveToFile(), 0);
  const TPortableIniFile saved(file);
  EXPECT_EQ(saved.readString("DownloadItem", "Name", ""), "renamed");
  EXPECT_EQ(saved.readString("DownloadItem", "UrlEngine", ""), "{not-a-guid}");
  EXPECT_EQ(saved.readString("DownloadItem", "ParseEngine", ""), engineText);
  EXPECT_EQ(saved.readString("Remarks", "1", ""), "left by the downloader");
  takePartlyReadFiles();

  const std::string text = readWholeFile(file);
  {
    THeldFile held(file);
    EXPECT_EQ(item.loadFromFile(file), -3);
    EXPECT_EQ(takeUnreadableFiles(), std::vector<std::string>{file});
    EXPECT_EQ(item.saveToFile(), 0);
  }
  EXPECT_EQ(readWholeFile(file), text);

  // A folder under an item's name hides the item from the list: named too.
  forceFolders(lists + "3\\9.INI");
  int failures = 0;
  EXPECT_EQ(listDownloadItems(lists + "3\\", failures).size(), 1u);
  EXPECT_EQ(takeUnreadableFiles(), std::vector<std::string>{lists + "3\\9.INI"});
}

// Every save writes the item's currency, an empty one as "", beside the
// count of its entries: such an item without it lost it, and is named;
// nothing is written into it unless the user changes the item.
TEST_F(DownloadItem, AnItemWithoutItsCurrencyIsNamedAndOneLeftEmptyIsNot) {
  TDownloadItem made;
  made.fileName = file;
  made.Name = "Acme";
  ASSERT_EQ(made.saveToFile(), 0);
  const std::string whole = readWholeFile(file);
  EXPECT_NE(whole.find("Currency=\"\"\r\n"), std::string::npos);
  takePartlyReadFiles();
  TDownloadItem item;
  EXPECT_EQ(item.loadFromFile(file), 0);
  EXPECT_EQ(item.Currency, "");
  EXPECT_TRUE(takePartlyReadFiles().empty());

  const std::string withoutCurrency =
      whole.substr(0, whole.find("Currency=")) + whole.substr(whole.find("\r\n", whole.find("Currency=")) + 2);
  writeWholeFile(file, withoutCurrency);
  EXPECT_EQ(item.loadFromFile(file), -7);
  EXPECT_EQ(takeFilesNamedAsPartlyRead(), std::vector<std::string>{file});
  ASSERT_EQ(item.saveToFile(), 0);
  EXPECT_EQ(readWholeFile(file), withoutCurrency);
  item.Currency = "USD";
  ASSERT_EQ(item.saveToFile(), 0);
  EXPECT_EQ(TPortableIniFile(file).readString("DownloadItem", "Currency", ""), "USD");
}

TEST_F(DownloadItem, AFileWithLinesReadingPassesOverLoadsWhatItCanAndGetsOnlyTheUsersChanges) {
  const std::string text = "[DownloadItem]\r\nName=kept\r\nnot a setting\r\n[Remarks]\r\n1=note\r\n";
  writeWholeFile(file, text);
  TDownloadItem item;
  EXPECT_EQ(item.loadFromFile(file), -7);
  EXPECT_EQ(item.Name, "kept");
  EXPECT_EQ(item.Remarks.size(), 1u);
  EXPECT_EQ(item.saveToFile(), 0);
  EXPECT_EQ(readWholeFile(file), text);
  // Only what the user changed reaches it.
  item.Name = "changed";
  EXPECT_EQ(item.saveToFile(), 0);
  const TPortableIniFile saved(file);
  EXPECT_EQ(saved.readString("DownloadItem", "Name", ""), "changed");
  EXPECT_EQ(saved.readString("Remarks", "1", ""), "note");
  EXPECT_EQ(saved.readString("DownloadItem", "LastUpdate", "none"), "none");
}

// An item from before the entry count, once edited, got the count as its
// section's last entry, not counting itself: a cut before its last remark
// left a count its entries matched, and a cut before the keys the edit
// added (the currency, the last update) took the count with them. Either
// loaded without a word; the count now stands first and counts itself.
TEST_F(DownloadItem, AnItemFromBeforeTheCountGainsItFirstSoThatACutIsNamed) {
  writeWholeFile(file, "[DownloadItem]\r\nName=Acme\r\nSymbol=ACM\r\nDataPath=<QUOTES>ACM.TXT\r\n"
                       "[Remarks]\r\n1=first\r\n2=second\r\n");
  takePartlyReadFiles();
  TDownloadItem item;
  ASSERT_EQ(item.loadFromFile(file), 0);
  item.Name = "Acme Corporation";
  ASSERT_EQ(item.saveToFile(), 0);
  const std::string whole = readWholeFile(file);
  const auto cutBefore = [&whole](const std::string& line) { return whole.substr(0, whole.find(line)); };
  const struct {
    std::string text;
    bool named;
  } rows[] = {
      {whole, false},
      {cutBefore("2=second"), true},
      {cutBefore("Currency="), true},
  };
  for (const auto& row : rows) {
    writeWholeFile(file, row.text);
    EXPECT_EQ(item.loadFromFile(file), row.named ? -7 : 0) << row.text;
    EXPECT_EQ(takeFilesNamedAsPartlyRead(), row.named ? std::vector<std::string>{file} : std::vector<std::string>{})
        << row.text;
  }
  EXPECT_EQ(whole.find("[DownloadItem]\r\nEntries="), 0u) << whole;
}
