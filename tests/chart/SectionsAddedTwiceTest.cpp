#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "chart/SheetGraph.h"
#include "chart/SourceTable.h"
#include "model/UnreadableFiles.h"
#include "platform/Form.h"
#include "sheet/FieldTable.h"
#include "tests/support/TestFolders.h"

// Another program adds a numbered section (a field, a chart's or graph's
// source) to a file this program read, under the number this program gives
// the one the user added. Written key by key, the two would merge into one
// and the other program's would be lost: the save is refused, the file
// stays as the other program left it and the refusal names the section.

namespace {

// The text with the line "key=count" of its count section replaced, and a
// section appended.
std::string addedByAnotherProgram(std::string text, const std::string& countLine, const std::string& newCountLine,
                                  const std::string& section) {
  const size_t at = text.find(countLine);
  EXPECT_NE(at, std::string::npos) << countLine;
  if (at != std::string::npos) text.replace(at, countLine.size(), newCountLine);
  return text + "\r\n" + section;
}

std::string refusal(const std::string& fileName, const std::string& section) {
  return fileName + " was changed by another program meanwhile, which added a section [" + section +
         "] as this program did";
}

}  // namespace

TEST(SectionsAddedTwice, AFieldAddedWhileAnotherProgramAddedOneUnderItsNumberIsRefused) {
  TTemporaryFolder folder;
  const std::string fileName = folder.path() + "AssetFields.INI";
  const std::string sample = readWholeFile(sampleDataFolder() + "DATA\\FOLIOS\\1\\AssetFields.INI");
  writeWholeFile(fileName, sample);
  TFieldTable table;
  ASSERT_EQ(table.loadFromFile(fileName, '.', ','), 0);
  const int count = table.count();
  const std::string number = std::to_string(count);
  const std::string theirs = addedByAnotherProgram(
      sample, "Count=" + number + "\r\n", "Count=" + std::to_string(count + 1) + "\r\n",
      "[" + number + "]\r\nLocked=1\r\nContent=ASSET_UNITS(A;TO_DATE)*2\r\nKind=1\r\nHeader=Their field\r\n");
  writeWholeFile(fileName, theirs);

  ASSERT_EQ(table.insertField(count), 0);
  table.items(count)->setHeader("Our field");
  EXPECT_EQ(table.save('.', ','), -4);
  EXPECT_EQ(readWholeFile(fileName), theirs);
  EXPECT_EQ(refusedSaveText(fileName), refusal(fileName, number));
}

TEST(SectionsAddedTwice, ASourceAddedToAChartOrGraphWhileAnotherProgramAddedOneUnderItsNumberIsRefused) {
  TFormOptions options;
  options.caption = "Views";
  options.clientWidth = 520;
  options.clientHeight = 360;
  TForm form(options);
  form.show();
  for (const char* view : {"Charts", "Graphs"}) {
    SCOPED_TRACE(view);
    TTemporaryFolder folder;
    const std::string fileName = folder.path() + "View.INI";
    const std::string sample = readWholeFile(sampleDataFolder() + "DATA\\FOLIOS\\" + view + "\\Folio_0.INI");
    writeWholeFile(fileName, sample);
    TSheetGraph& graph = std::string(view) == "Charts" ? form.add<TSheetChart>() : form.add<TSheetGraph>();
    graph.setBounds(0, 0, 500, 340);
    ASSERT_EQ(graph.loadFromFile(fileName, '.', ','), 0);
    TSourceTable& sources = graph.sourceTable();
    const int count = sources.count();
    const std::string number = std::to_string(count);
    const std::string theirs = addedByAnotherProgram(
        sample, "[Sources]\r\nCount=" + number + "\r\n", "[Sources]\r\nCount=" + std::to_string(count + 1) + "\r\n",
        "[" + number + "]\r\nKind=0\r\nColor=255\r\nCaption=Theirs\r\nClose=X*2\r\n");
    writeWholeFile(fileName, theirs);

    sources.insertSource(count);
    TSource& ours = *sources.getSource(count);
    ours.Caption = "Ours";
    ours.Close = "X*3";
    EXPECT_EQ(graph.saveToFile('.', ','), -4);
    EXPECT_EQ(readWholeFile(fileName), theirs);
    EXPECT_EQ(refusedSaveText(fileName), refusal(fileName, number));
  }
}
