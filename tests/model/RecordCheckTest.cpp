#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/PortableIniFile.h"
#include "model/RecordCheck.h"
#include "model/UnreadableFiles.h"
#include "platform/FileSystem.h"
#include "tests/support/TestFolders.h"

// What reading alone cannot tell: a file emptied, one that ends inside a
// line, and one without a key every save writes. Blanks and the end-of-file
// mark an editor leaves after the last line end are no cut.
TEST(RecordCheck, TellsAFileEmptiedCutOffOrWithoutAKeyEverySaveWrites) {
  TTemporaryFolder folder;
  const std::string file = folder.path() + "Record.INI";
  const std::vector<TWrittenKey> keys = {{"A", ""}, {"B", "Count"}};
  const auto fault = [&](const std::string& text) {
    writeWholeFile(file, text);
    return recordFault(TPortableIniFile(file), keys);
  };
  EXPECT_EQ(fault("[A]\r\n[B]\r\nCount=1\r\n"), "");
  EXPECT_EQ(fault("[A]\r[B]\rCount=1\r"), "");
  EXPECT_EQ(fault("[A]\r\n[B]\r\nCount=1\r\n \t\x1A"), "");
  EXPECT_EQ(fault("[A]\r\n[B]\r\nCount=1\r\n" + std::string(100, ' ')), "");
  EXPECT_EQ(fault(""), "is empty");
  EXPECT_EQ(fault("; a note\r\n\r\n"), "is empty");
  EXPECT_EQ(fault("[A]\r\n[B]\r\nCount=1"), "is cut off inside its last line");
  EXPECT_EQ(fault("[A]\r\n[B]\r\nCount=1\r\nName=" + std::string(100, 'x') + " \x1A"),
            "is cut off inside its last line");
  EXPECT_EQ(fault("[A]\r\n[B]\r\n"), "lacks Count in section B");
  EXPECT_EQ(fault("[A]\r\n[B]\r\nCount=\r\n"), "lacks Count in section B");
  EXPECT_EQ(fault("[B]\r\nCount=1\r\n"), "lacks its section A");
  EXPECT_EQ(fault("[A]\r\n"), "lacks its section B");
  EXPECT_EQ(fault("[A]\r\nno entry\r\n[B]\r\nCount=1"), "could not be read whole");
  // Line ends of another system, or a line another program appended with
  // one: ended all the same.
  EXPECT_EQ(fault("[A]\n[B]\nCount=1\n"), "");
  EXPECT_EQ(fault("[A]\n[B]\nCount=1"), "is cut off inside its last line");
  EXPECT_EQ(fault("[A]\r\n[B]\r\nCount=1\r\nAdded=1\n"), "");
  // Cut short alone, a note typed into the record is no damage of it.
  writeWholeFile(file, "[A]\r\nno entry\r\n[B]\r\nCount=1\r\n");
  EXPECT_EQ(recordCutShort(TPortableIniFile(file), keys), "");
  // No file holds no record to be whole.
  EXPECT_EQ(recordFault(TPortableIniFile(folder.path() + "None.INI"), keys), "");
  takePartlyReadFiles();

  // As a check, a record not whole is named as read in part; one that
  // could not be read at all is named by its reader alone.
  writeWholeFile(file, "[A]\r\n[B]\r\nCount=1");
  EXPECT_FALSE(checkWholeRecord(TPortableIniFile(file), keys));
  EXPECT_EQ(takePartlyReadFiles(), std::vector<std::string>{file});
  writeWholeFile(file, "[A]\r\n[B]\r\nCount=1\r\n");
  EXPECT_TRUE(checkWholeRecord(TPortableIniFile(file), keys));
  ASSERT_TRUE(deleteFile(file));
  ASSERT_TRUE(forceFolders(file));
  takeUnreadableFiles();
  EXPECT_FALSE(checkWholeRecord(TPortableIniFile(file), keys));
  EXPECT_TRUE(takePartlyReadFiles().empty());
  EXPECT_EQ(takeUnreadableFiles(), std::vector<std::string>{file});
}

// Cut exactly at a line end, a record ends as a whole one does: only the
// count of its entries, written before them, tells it.
TEST(RecordCheck, ARecordHoldingFewerEntriesThanItsCountIsCutOff) {
  TTemporaryFolder folder;
  const std::string file = folder.path() + "Record.INI";
  // Sizes a window keeps in section C are no part of the record's own.
  const std::vector<std::string> counted = {"A", "B"};
  {
    TPortableIniFile ini(file, TPortableIniFile::TNewFile{});
    beginEntryCount(ini, counted);
    ini.writeString("A", "Name", "x");
    ini.writeString("A", "Empty", "");
    ini.writeString("B", "Kept", "1");
    ini.writeString("B", "Last", "2");
    ini.writeString("C", "Width", "80");
    endEntryCount(ini, counted);
    ASSERT_EQ(ini.createFile(false), TNewFileResult::created);
  }
  const std::string whole = readWholeFile(file);
  EXPECT_EQ(whole, "[A]\r\nEntries=4\r\nName=x\r\n\r\n[B]\r\nKept=1\r\nLast=2\r\n\r\n[C]\r\nWidth=80\r\n\r\n");
  const auto cutOff = [&](const std::string& text) {
    writeWholeFile(file, text);
    return entriesCutOff(TPortableIniFile(file), counted);
  };
  EXPECT_EQ(cutOff(whole), "");
  EXPECT_EQ(cutOff(whole.substr(0, whole.find("[C]"))), "");
  EXPECT_EQ(cutOff(whole.substr(0, whole.find("Last="))), "holds 3 of the 4 entries its count names");
  EXPECT_EQ(cutOff(whole.substr(0, whole.find("[B]"))), "holds 2 of the 4 entries its count names");
  EXPECT_EQ(cutOff(whole + "[B]\r\nAdded=3\r\n"), "");
  EXPECT_EQ(cutOff("[A]\r\nEntries=4x\r\n"), "holds no number for Entries in section A");
  // Written before records had a count, a record holds none to be short of.
  EXPECT_EQ(cutOff("[A]\r\nName=x\r\n"), "");
}

TEST(RecordCheck, AHeaderThatLostABracketOrAKeyWrittenEvenEmptyIsDamage) {
  TTemporaryFolder folder;
  const std::string file = folder.path() + "Record.INI";
  const auto cutShort = [&](const std::string& text, const std::vector<TWrittenKey>& keys) {
    writeWholeFile(file, text);
    return recordCutShort(TPortableIniFile(file), keys);
  };
  const std::vector<TWrittenKey> count = {{"A", "Count"}};
  EXPECT_EQ(cutShort("[A]\r\nCount=1\r\n[B\r\nName=x\r\n", count),
            "holds the line \"[B\", a section header that lost a bracket");
  EXPECT_EQ(cutShort("[A]\r\nCount=1\r\nB]\r\nName=x\r\n", count),
            "holds the line \"B]\", a section header that lost a bracket");
  const std::vector<TWrittenKey> currency = {{"A", "Currency", true}};
  EXPECT_EQ(cutShort("[A]\r\nCurrency=\"\"\r\n", currency), "");
  EXPECT_EQ(cutShort("[A]\r\ncurrency=EUR\r\n", currency), "");
  EXPECT_EQ(cutShort("[A]\r\nEntries=2\r\nName=x\r\n", currency), "lacks Currency in section A");
  takePartlyReadFiles();
  takeDamagedFiles();
}

// A text the user may leave empty is left out of a file saved without the
// entry count, as the format has it: there it is no line lost. A file with
// the count holds the text even empty, so a line lost is told, by the key
// missing or by the count; a last line cut off is told either way.
TEST(RecordCheck, ATextLeftOutIsALostLineOnlyInAFileWithItsEntryCount) {
  TTemporaryFolder folder;
  const std::string file = folder.path() + "Record.INI";
  const std::vector<TWrittenKey> keys = {{"A", ""}, {"A", "Currency", true}};
  const std::vector<std::string> counted = {"A", "B"};
  const struct {
    const char* text;
    const char* fault;
  } rows[] = {
      {"[A]\r\nName=x\r\n[B]\r\n1=r\r\n", ""},
      {"[A]\r\nName=x\r\n[B]\r\n1=r", "is cut off inside its last line"},
      {"[A]\r\nEntries=4\r\nName=x\r\nCurrency=\"\"\r\n[B]\r\n1=r\r\n", ""},
      {"[A]\r\nEntries=4\r\nName=x\r\n[B]\r\n1=r\r\n", "lacks Currency in section A"},
      {"[A]\r\nEntries=4\r\nName=x\r\nCurrency=\"\"\r\n[B]\r\n", "holds 3 of the 4 entries its count names"},
      {"[A]\r\nEntries=4\r\nName=x\r\nCurrency=\"\"\r\n[B]\r\n1=r", "is cut off inside its last line"},
  };
  for (const auto& row : rows) {
    writeWholeFile(file, row.text);
    EXPECT_EQ(recordFault(TPortableIniFile(file), keys, counted), row.fault) << row.text;
  }
}
