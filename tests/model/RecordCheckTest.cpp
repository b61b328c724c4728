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
