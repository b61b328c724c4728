#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "model/UnsavedChanges.h"
#include "platform/FileSystem.h"
#include "platform/LocaleSettings.h"
#include "sheet/FieldTable.h"
#include "tests/support/GermanRegionalSettings.h"
#include "tests/support/NamedFiles.h"
#include "tests/support/TestFolders.h"

namespace {

// A table as a list window would keep it: a fixed header field and two
// formatted fields, in memory with a comma as decimal separator.
void fillSampleTable(TFieldTable& table) {
  table.Fixed = 1;
  table.DefaultRowWiseWidth = 80;
  table.insertField(0);
  table.insertField(1);
  table.insertField(2);
  TField& name = *table.items(0);
  name.setSymbol("  NAME ");
  name.setHeader("Name");
  name.Kind = 13;
  name.strToAlignment("L");
  TField& price = *table.items(1);
  price.setSymbol("PRICE");
  price.Content = "=ROUND(ASSET_CLOSE(ID)*1,5;2)";
  price.Trail = " %";
  price.Kind = 1;
  price.MaxDecimals = 2;
  price.FixedDecimals = true;
  price.Locked = false;
  price.strToAlignment("RTB");
  TFontProperties bold;
  bold.style = fsBold | fsItalic;
  bold.size = 10;
  bold.name = "Arial";
  price.Format->assignFont(bold);
  price.Format->setFillColor(0x00FFEE);
  price.ConditionalFormat->setCondition(false, -2.5);
  price.ConditionalFormat->setFillColor(0x0000FF);
  TField& note = *table.items(2);
  note.Content = "\"a;b\"";
  note.Hidden = true;
  note.TestContent = " padded ";
}

// One field for each content, in a table kept in the file.
void fillContents(TFieldTable& table, const std::string& fileName, const std::vector<std::string>& contents) {
  table.FileName = fileName;
  for (size_t i = 0; i < contents.size(); ++i) {
    table.insertField(static_cast<int>(i));
    table.items(static_cast<int>(i))->Content = contents[i];
  }
}

}  // namespace

TEST(FieldTable, FileRoundTripKeepsEveryByte) {
  TTemporaryFolder folder;
  TFieldTable table;
  fillSampleTable(table);
  table.FileName = folder.path() + "FIELDS.INI";
  ASSERT_EQ(table.save(',', ';'), 0);
  std::string written = readWholeFile(table.FileName);
  EXPECT_NE(written.find("Content==ROUND(ASSET_CLOSE(ID)*1.5;2)\r\n"), std::string::npos) << written;
  EXPECT_NE(written.find("Trail=\" %\"\r\n"), std::string::npos);
  EXPECT_NE(written.find("Alignment=TBR\r\n"), std::string::npos);
  EXPECT_NE(written.find("FontStyle=BI\r\nCharSet=1\r\nFontPitch=0\r\nFillColor=65518\r\n"), std::string::npos);
  EXPECT_NE(written.find("ConditionalFillColor=255\r\nConditionalFontColor=-2147483640\r\n"), std::string::npos);
  EXPECT_NE(written.find("Threshold=-2.5"), std::string::npos);

  TFieldTable loaded;
  ASSERT_EQ(loaded.loadFromFile(table.FileName, ',', ';'), 0);
  ASSERT_EQ(loaded.count(), 3);
  EXPECT_EQ(loaded.Fixed, 1);
  const TField& price = *loaded.items(1);
  EXPECT_EQ(price.Content, "=ROUND(ASSET_CLOSE(ID)*1,5;2)") << "held with the reader's separators";
  EXPECT_EQ(price.Trail, " %");
  EXPECT_EQ(price.Alignment, fieldAlignTop | fieldAlignBottom | fieldAlignRight);
  EXPECT_EQ(price.Format->FontName, "Arial");
  EXPECT_EQ(price.Format->FontStyle, fsBold | fsItalic);
  EXPECT_EQ(price.ConditionalFormat->Threshold, -2.5);
  EXPECT_FALSE(price.ConditionalFormat->IfAboveThreshold);
  EXPECT_FALSE(price.Locked);
  EXPECT_EQ(price.RowWiseWidth, 80) << "an unset width takes the table's default";
  EXPECT_EQ(loaded.items(0)->Symbol, "NAME");
  EXPECT_EQ(loaded.items(2)->Content, "\"a;b\"") << "a quoted text keeps its quotes";
  EXPECT_EQ(loaded.items(2)->TestContent, " padded ");

  loaded.FileName = folder.path() + "COPY.INI";
  ASSERT_EQ(loaded.save(',', ';'), 0);
  EXPECT_EQ(readWholeFile(loaded.FileName), written);
}

// A window makes every definition a cell formula, a lone number or name
// too: each follows the separators.
TEST(FieldTable, EveryContentFollowsTheSeparators) {
  TTemporaryFolder folder;
  TFieldTable table;
  fillContents(table, folder.path() + "FIELDS.INI", {"Smith; John", "1.5", "1,5", "=SUM(1,5;2)"});
  ASSERT_EQ(table.save(',', ';'), 0);
  TFieldTable loaded;
  ASSERT_EQ(loaded.loadFromFile(table.FileName, '.', ','), 0);
  ASSERT_EQ(loaded.count(), 4);
  EXPECT_EQ(loaded.items(0)->Content, "Smith, John");
  EXPECT_EQ(loaded.items(1)->Content, "1.5");
  EXPECT_EQ(loaded.items(2)->Content, "1.5") << "a lone number";
  EXPECT_EQ(loaded.items(3)->Content, "=SUM(1.5,2)");
}

// Kept while they do not compile, and the editor's sample of a new field:
// both must mean the same under the other settings.
TEST(FieldTable, UnfinishedDefinitionsAndSamplesReadUnderOtherSettings) {
  TTemporaryFolder folder;
  TFieldTable german;
  fillContents(german, folder.path() + "GERMAN.INI", {"SUM(1;2,5)+", "1,5", "", ""});
  german.items(2)->Kind = 1;
  german.items(2)->setTestContent("100000,1234567890123456789");
  german.items(3)->Kind = 2;
  german.items(3)->setTestContent("1,5");
  german.items(1)->Kind = 3;
  german.items(1)->setTestContent("24.12.2025");
  ASSERT_EQ(german.save(',', ';'), 0);
  const std::string written = readWholeFile(german.FileName);
  EXPECT_NE(written.find("Content=SUM(1;2.5)+\r\n"), std::string::npos) << written;
  EXPECT_NE(written.find("Content=1.5\r\n"), std::string::npos) << written;
  EXPECT_NE(written.find("TestContent=100000.1234567890123456789\r\n"), std::string::npos) << written;
  EXPECT_NE(written.find("TestContent=1,5\r\n"), std::string::npos) << "a text field's sample as typed";

  TFieldTable english;
  ASSERT_EQ(english.loadFromFile(german.FileName, '.', ','), 0);
  EXPECT_EQ(english.items(0)->Content, "SUM(1,2.5)+");
  EXPECT_EQ(english.items(1)->Content, "1.5");
  EXPECT_EQ(english.items(2)->TestContent, "100000.1234567890123456789");
  EXPECT_EQ(english.items(3)->TestContent, "1,5");
  EXPECT_EQ(english.items(1)->TestContent, "24.12.2025") << "no number: as typed";

  english.items(0)->Content = "SUM(1,2)+";
  english.FileName = folder.path() + "ENGLISH.INI";
  ASSERT_EQ(english.save('.', ','), 0);
  TFieldTable back;
  ASSERT_EQ(back.loadFromFile(english.FileName, ',', ';'), 0);
  EXPECT_EQ(back.items(0)->Content, "SUM(1;2)+");
  EXPECT_EQ(back.items(1)->Content, "1,5");
  EXPECT_EQ(back.items(2)->TestContent, "100000,1234567890123456789");
  EXPECT_EQ(back.items(3)->TestContent, "1,5");
}

// Only a sample shown in a number cell means a number: the sample of a text
// field, of a name or a currency is the user's text under every setting.
TEST(FieldTable, OnlySamplesOfNumberKindsFollowTheDecimalSeparator) {
  TTemporaryFolder folder;
  const std::vector<std::pair<int, bool>> kinds = {{1, true},  {2, false},  {3, true},  {5, true},  {7, false},
                                                   {13, false}, {15, false}, {16, true}, {26, false}, {27, true}};
  // English, then German settings; each types a number with its own decimal
  // separator, and a text field may hold the other one too.
  for (const auto& [decimal, list] : {std::pair{'.', ','}, {',', ';'}}) {
    const char otherDecimal = decimal == '.' ? ',' : '.';
    const char otherList = list == ',' ? ';' : ',';
    const std::string number = std::string("1") + decimal + "5";
    const std::string foreign = std::string("1") + otherDecimal + "5";
    TFieldTable table;
    table.FileName = folder.path() + "SAMPLES.INI";
    for (size_t i = 0; i < kinds.size(); ++i) {
      table.insertField(static_cast<int>(2 * i));
      table.insertField(static_cast<int>(2 * i + 1));
      for (int j = 0; j < 2; ++j) {
        TField& field = *table.items(static_cast<int>(2 * i + j));
        field.Kind = static_cast<std::uint8_t>(kinds[i].first);
        field.setTestContent(j == 0 ? number : foreign);
      }
    }
    ASSERT_EQ(table.save(decimal, list), 0);
    TFieldTable same, other;
    ASSERT_EQ(same.loadFromFile(table.FileName, decimal, list), 0);
    ASSERT_EQ(other.loadFromFile(table.FileName, otherDecimal, otherList), 0);
    ASSERT_EQ(other.count(), static_cast<int>(2 * kinds.size()));
    for (size_t i = 0; i < kinds.size(); ++i) {
      const auto [kind, numberKind] = kinds[i];
      SCOPED_TRACE("kind " + std::to_string(kind) + ", decimal separator " + decimal);
      const int index = static_cast<int>(2 * i);
      EXPECT_EQ(same.items(index)->TestContent, number);
      EXPECT_EQ(other.items(index)->TestContent, numberKind ? foreign : number);
      if (numberKind) continue;
      EXPECT_EQ(same.items(index + 1)->TestContent, foreign);
      EXPECT_EQ(other.items(index + 1)->TestContent, foreign);
    }
  }
}

// A number sample typed with thousands separators under English or German
// settings shows the same number under the other ones; a text keeps them.
TEST(FieldTable, GroupedNumberSamplesReadTheSameUnderEnglishAndGermanSettings) {
  TTemporaryFolder folder;
  const TLocaleSettings saved = localeSettings();
  for (const bool german : {false, true}) {
    const char decimal = german ? ',' : '.', list = german ? ';' : ',';
    const std::string typed = german ? "1.234,5" : "1,234.5";
    TFieldTable table;
    fillContents(table, folder.path() + "GROUPED.INI", {"", "", ""});
    table.items(0)->Kind = 1;
    table.items(1)->Kind = 2;
    table.items(2)->Kind = 16;
    for (int i = 0; i < 3; ++i) table.items(i)->setTestContent(typed);
    if (german) {
      TGermanRegionalSettings settings;
      loadLocaleSettingsFromSystem();
    }
    ASSERT_EQ(table.save(decimal, list), 0);
    localeSettings() = saved;
    TFieldTable other;
    ASSERT_EQ(other.loadFromFile(table.FileName, german ? '.' : ',', german ? ',' : ';'), 0);
    SCOPED_TRACE(typed);
    EXPECT_EQ(other.items(0)->TestContent, german ? "1234.5" : "1234,5");
    EXPECT_EQ(other.items(1)->TestContent, typed);
    EXPECT_EQ(other.items(2)->TestContent, german ? "1234.5" : "1234,5");
  }
}

// The field editor takes the "=" off a definition: the formula must still be
// kept in the one stored form, and a file written by an earlier version
// with the user's separators must read as it did.
TEST(FieldTable, DefinitionsWithoutEqualsSignAreStoredFormulas) {
  TTemporaryFolder folder;
  TFieldTable table;
  fillContents(table, folder.path() + "FIELDS.INI", {"PORTFOLIO_NAV(P;TO_DATE;1)", "PRICE*1,5", "Smith, John", "PRICE*"});
  ASSERT_EQ(table.save(',', ';'), 0);
  const std::string written = readWholeFile(table.FileName);
  EXPECT_NE(written.find("Content=PORTFOLIO_NAV(P;TO_DATE;1)"), std::string::npos) << written;
  EXPECT_NE(written.find("Content=PRICE*1.5"), std::string::npos) << written;
  TFieldTable english;
  ASSERT_EQ(english.loadFromFile(table.FileName, '.', ','), 0);
  EXPECT_EQ(english.items(0)->Content, "PORTFOLIO_NAV(P,TO_DATE,1)");
  EXPECT_EQ(english.items(1)->Content, "PRICE*1.5");
  EXPECT_EQ(english.items(2)->Content, "Smith, John");
  EXPECT_EQ(english.items(3)->Content, "PRICE*") << "no formula: kept as typed";

  // As an earlier version wrote it under English settings.
  const std::string earlier = folder.path() + "EARLIER.INI";
  std::string text = written;
  const std::string stored = "Content=PORTFOLIO_NAV(P;TO_DATE;1)";
  text.replace(text.find(stored), stored.size(), "Content=PORTFOLIO_NAV(P,TO_DATE,1)");
  writeWholeFile(earlier, text);
  TFieldTable reread;
  ASSERT_EQ(reread.loadFromFile(earlier, '.', ','), 0);
  EXPECT_EQ(reread.items(0)->Content, "PORTFOLIO_NAV(P,TO_DATE,1)");
  reread.FileName = folder.path() + "REWRITTEN.INI";
  ASSERT_EQ(reread.save('.', ','), 0);
  EXPECT_NE(readWholeFile(reread.FileName).find("Content=PORTFOLIO_NAV(P;TO_DATE;1)"), std::string::npos);
}

TEST(FieldTable, MissingPartsReadAsDefaults) {
  TTemporaryFolder folder;
  TFieldTable table;
  EXPECT_EQ(table.loadFromFile(folder.path() + "NONE.INI", '.', ','), 0);
  EXPECT_EQ(table.count(), 0);
  EXPECT_EQ(table.Fixed, 0);
  EXPECT_EQ(table.DefaultColWiseHeight, -1);

  std::string fileName = folder.path() + "F.INI";
  // Section 0 is missing; section 1 has a disabled format whose font keys
  // are left over from before.
  writeWholeFile(fileName,
                 "[Fields]\r\nCount=2\r\nDefaultColWiseHeight=30\r\n[1]\r\nFontAndFill=0\r\nFontName=Courier\r\n"
                 "Alignment=rl\r\nKind=5\r\n");
  ASSERT_EQ(table.loadFromFile(fileName, '.', ','), 0);
  ASSERT_EQ(table.count(), 2);
  const TField& missing = *table.items(0);
  EXPECT_TRUE(missing.Locked);
  EXPECT_EQ(missing.Kind, 2);
  EXPECT_EQ(missing.MaxDecimals, 15);
  EXPECT_EQ(missing.Format->FontName, "MS Sans Serif");
  EXPECT_EQ(missing.Format->FontSize, 8);
  EXPECT_EQ(missing.ColWiseHeight, 30);
  const TField& leftover = *table.items(1);
  EXPECT_EQ(leftover.Format->FontName, "MS Sans Serif");
  EXPECT_EQ(leftover.Alignment, 0) << "only capital letters count";
  EXPECT_EQ(leftover.Kind, 5);
  TField centred;
  centred.strToAlignment("RL");
  EXPECT_EQ(centred.Alignment, fieldAlignLeft | fieldAlignRight);
  EXPECT_EQ(centred.alignmentToStr(), "LR");
}

TEST(FieldTable, CorruptCountAndFailedSaveAreReported) {
  TTemporaryFolder folder;
  std::string fileName = folder.path() + "F.INI";
  TFieldTable table;
  writeWholeFile(fileName, "[Fields]\r\nCount=2147483647\r\n");
  EXPECT_EQ(table.loadFromFile(fileName, '.', ','), -6);
  EXPECT_EQ(table.count(), 0);
  writeWholeFile(fileName, "[Fields]\r\nCount=-4\r\n");
  EXPECT_EQ(table.loadFromFile(fileName, '.', ','), 0);
  EXPECT_EQ(table.count(), 0);

  table.insertField(0);
  table.FileName = folder.path() + "MISSING\\F.INI";
  EXPECT_EQ(table.save('.', ','), -4);
  // A failed save leaves the old file whole.
  table.FileName = fileName;
  ASSERT_EQ(table.save('.', ','), 0);
  std::string saved = readWholeFile(fileName);
  HANDLE locked = CreateFileA(fileName.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  table.Fixed = 1;
  EXPECT_EQ(table.save('.', ','), -4);
  CloseHandle(locked);
  EXPECT_EQ(readWholeFile(fileName), saved);
}

TEST(FieldTable, ListEditsKeepFixedPartAndSlots) {
  TFieldTable table;
  table.DefaultRowWiseWidth = 50;
  EXPECT_EQ(table.insertField(-1), -7);
  EXPECT_EQ(table.insertField(TFieldTable::maxFieldCount), -7);
  ASSERT_EQ(table.insertField(2), 0);
  ASSERT_EQ(table.count(), 3);
  EXPECT_EQ(table.items(0)->RowWiseWidth, -1) << "gap fields keep -1";
  EXPECT_EQ(table.items(2)->RowWiseWidth, 50);
  for (int i = 0; i < 3; ++i) table.items(i)->Header = std::string(1, static_cast<char>('a' + i));
  table.Fixed = 2;
  EXPECT_EQ(table.deleteField(3), -7);
  ASSERT_EQ(table.deleteField(2), 0);
  EXPECT_EQ(table.Fixed, 2) << "a field after the fixed part";
  ASSERT_EQ(table.deleteField(0), 0);
  EXPECT_EQ(table.Fixed, 1);
  EXPECT_EQ(table.items(0)->Header, "b");
  ASSERT_EQ(table.moveField(0, 3), 0);
  ASSERT_EQ(table.count(), 4);
  EXPECT_EQ(table.items(3)->Header, "b");
  for (int i = 0; i < 4; ++i) EXPECT_NE(table.items(i), nullptr);
  ASSERT_EQ(table.moveField(3, 0), 0);
  EXPECT_EQ(table.items(0)->Header, "b");
  EXPECT_EQ(table.moveField(4, 0), -7);
  EXPECT_EQ(table.items(4), nullptr);

  table.Fixed = 9;
  table.items(1)->Hidden = true;
  EXPECT_EQ(table.shownFixedCount(), 3);
  table.items(2)->Position = 4;
  TFieldTable copy;
  copy.assign(&table);
  EXPECT_EQ(copy.count(), 4);
  EXPECT_EQ(copy.Fixed, 9);
  EXPECT_EQ(copy.items(2)->Position, -1) << "positions belong to the showing window";
  EXPECT_NE(copy.items(0), table.items(0));
}

TEST(FieldTable, FormulasOfFieldsBecomeCellFormulas) {
  TFieldTable table;
  table.insertField(0);
  table.insertField(1);
  table.items(0)->setSymbol("Price");
  table.items(0)->Position = 3;
  table.items(1)->setSymbol("QTY");
  EXPECT_EQ(table.positionOfSymbol(" price "), 3);
  EXPECT_EQ(table.positionOfSymbol("QTY"), -1) << "not laid out";
  EXPECT_EQ(table.fieldAtPosition(3), table.items(0));
  EXPECT_EQ(table.fieldAtPosition(0), nullptr);
  std::string result;
  std::vector<std::string> names{"ID"};
  std::vector<std::string> replacements{"17"};
  table.translateFormula("=PRICE*2", 7, result, replacements, names, ';', '.', true);
  EXPECT_EQ(result, "=C7*2");
  table.translateFormula("=PRICE*2", 7, result, replacements, names, ';', '.', false);
  EXPECT_EQ(result, "=G3*2");
  table.translateFormula("= IF(id>1;  price;\"PRICE\") + Qty", 2, result, replacements, names, ';', '.', true);
  EXPECT_EQ(result, "= IF(17>1;  C2;\"PRICE\") + Qty");
}

// A field file read and not changed is not written, even where the table
// would spell it otherwise (a file written by hand), so a read-only one
// saves without failing. One that could not be read is not overwritten
// with the empty table that stood in for it, nor is the file read before;
// the fields added meanwhile go after the file's own once it can be read,
// and the save fails until then. They were once dropped without a word.
TEST(FieldTable, AFileNotReadOrNotChangedIsNotWritten) {
  TTemporaryFolder folder;
  const std::string first = folder.path() + "First.INI";
  const std::string second = folder.path() + "Second.INI";
  const std::string text = "[Fields]\r\nCount=2\r\n[0]\r\nContent=Name\r\n[1]\r\nContent=Price\r\n";
  writeWholeFile(first, text);
  writeWholeFile(second, text);
  TFieldTable table;

  ASSERT_EQ(table.loadFromFile(first, '.', ','), 0);
  SetFileAttributesA(first.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(table.save('.', ','), 0);
  table.items(1)->Content = "Close";
  EXPECT_EQ(table.save('.', ','), -4);
  SetFileAttributesA(first.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(readWholeFile(first), text);
  ASSERT_EQ(table.save('.', ','), 0);
  TFieldTable back;
  ASSERT_EQ(back.loadFromFile(first, '.', ','), 0);
  EXPECT_EQ(back.items(1)->Content, "Close");
  const std::string firstSaved = readWholeFile(first);

  {
    THeldFile held(second);
    EXPECT_EQ(table.loadFromFile(second, '.', ','), -3);
    EXPECT_EQ(table.count(), 0);
    EXPECT_EQ(table.save('.', ','), 0);
    table.insertField(0);
    table.items(0)->Content = "Added";
    EXPECT_EQ(table.save('.', ','), -4);
  }
  EXPECT_EQ(readWholeFile(second), text);
  ASSERT_EQ(table.save('.', ','), 0);
  EXPECT_EQ(readWholeFile(first), firstSaved);
  ASSERT_EQ(back.loadFromFile(second, '.', ','), 0);
  ASSERT_EQ(back.count(), 3);
  EXPECT_EQ(back.items(0)->Content, "Name");
  EXPECT_EQ(back.items(2)->Content, "Added");
  // The table still shows what it showed; its later changes go where its
  // fields went.
  ASSERT_EQ(table.count(), 1);
  table.items(0)->Content = "Changed";
  ASSERT_EQ(table.save('.', ','), 0);
  ASSERT_EQ(back.loadFromFile(second, '.', ','), 0);
  ASSERT_EQ(back.count(), 3);
  EXPECT_EQ(back.items(1)->Content, "Price");
  EXPECT_EQ(back.items(2)->Content, "Changed");
}

namespace {

// A field file as a settled window leaves it, three fields, with a
// "Target return" field last.
std::string settledFieldText() {
  std::string text = "[Fields]\r\nCount=3\r\nFixed=1\r\nRowWiseFixedHeight=16\r\nColWiseFixedWidth=120\r\n"
                     "DefaultRowWiseWidth=85\r\nDefaultColWiseHeight=16\r\n\r\n";
  const char* headers[] = {"Name", "Value", "Target return"};
  for (int i = 0; i < 3; ++i)
    text += "[" + std::to_string(i) + "]\r\nLocked=" + (i == 2 ? "0" : "1") + "\r\nKind=1\r\nHeader=" + headers[i] +
            "\r\nRowWiseWidth=85\r\n\r\n";
  return text;
}

std::string replaced(std::string text, const std::string& old, const std::string& with) {
  const size_t at = text.find(old);
  if (at != std::string::npos) text.replace(at, old.size(), with);
  return text;
}

bool named(const std::vector<std::string>& names, const std::string& fileName) {
  return std::find(names.begin(), names.end(), fileName) != names.end();
}


}  // namespace

// A damaged field file was rewritten at the close from what could be read
// of it (a field whose header lost its bracket merged into the one before
// and lost for good; random bytes became a file without fields), and no
// one was told. Sizes the window gives where the file gives none count as
// what the file holds: only the user's own changes are written.
TEST(FieldTable, AFileNotReadWholeIsToldOfAndWrittenOnlyForTheUsersChanges) {
  TTemporaryFolder folder;
  const std::string fileName = folder.path() + "FolioFields.INI";
  std::string utf16;
  for (char c : settledFieldText()) utf16 += std::string(1, c) + '\0';
  const std::vector<std::pair<std::string, std::string>> damaged = {
      {"lost bracket and size", replaced(replaced(settledFieldText(), "[2]", "2]"), "DefaultRowWiseWidth=85\r\n", "")},
      {"random bytes", "\x9c\x01=\xfe\x7f\r\n\xd3[\x11\r\n\x05\xab\xcd"},
      {"UTF-16", "\xff\xfe" + utf16},
      {"fewer sections than counted", replaced(settledFieldText(), "Count=3", "Count=5")},
      {"no count", replaced(settledFieldText(), "Count=3\r\n", "")},
      {"no sizes and no count", "[0]\r\nHeader=Name\r\n"},
      {"cut inside its last line", settledFieldText().substr(0, settledFieldText().rfind("RowWiseWidth=8") + 14)},
      {"a field without Locked", replaced(settledFieldText(), "[1]\r\nLocked=1\r\n", "[1]\r\n")},
  };
  for (const auto& [damage, text] : damaged) {
    SCOPED_TRACE(damage);
    writeWholeFile(fileName, text);
    takePartlyReadFiles();
    takeDamagedFiles();
    TFieldTable table;
    ASSERT_EQ(table.loadFromFile(fileName, '.', ','), 0);
    EXPECT_TRUE(named(takeFilesNamedAsPartlyRead(), fileName));
    table.takeGridSizes(16, 85);
    SetFileAttributesA(fileName.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(table.save('.', ','), 0) << "a read-only file was asked to take what nobody changed";
    SetFileAttributesA(fileName.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(table.save('.', ','), 0);
    EXPECT_EQ(readWholeFile(fileName), text);
  }

  // The user's change is written into the file as it stands, every line
  // it does not touch kept; into one whose field header lost its bracket
  // no change can go without merging two fields, so the save fails and the
  // file stays.
  writeWholeFile(fileName, damaged[3].second);
  TFieldTable table;
  ASSERT_EQ(table.loadFromFile(fileName, '.', ','), 0);
  table.takeGridSizes(16, 85);
  table.items(0)->setHeader("Portfolio");
  ASSERT_EQ(table.save('.', ','), 0);
  EXPECT_EQ(readWholeFile(fileName), replaced(damaged[3].second, "Header=Name", "Header=Portfolio"));
  writeWholeFile(fileName, damaged[0].second);
  ASSERT_EQ(table.loadFromFile(fileName, '.', ','), 0);
  table.takeGridSizes(16, 85);
  table.items(0)->setHeader("Portfolio");
  EXPECT_EQ(table.save('.', ','), -4);
  EXPECT_EQ(readWholeFile(fileName), damaged[0].second);
  EXPECT_EQ(refusedSaveText(fileName), fileName + " holds the line \"2]\", a section header that lost a bracket");
  // The change waits for the close, which asks of it; given up, the next
  // read shows the file.
  giveUpUnsavedChanges({fileName});

  // A file read whole names nothing; a size the user set is written.
  writeWholeFile(fileName, replaced(settledFieldText(), "DefaultColWiseHeight=16\r\n", ""));
  takePartlyReadFiles();
  takeDamagedFiles();
  ASSERT_EQ(table.loadFromFile(fileName, '.', ','), 0);
  EXPECT_FALSE(named(takeFilesNamedAsPartlyRead(), fileName));
  table.takeGridSizes(16, 85);
  table.items(1)->RowWiseWidth = 120;
  ASSERT_EQ(table.save('.', ','), 0);
  EXPECT_EQ(readWholeFile(fileName),
            replaced(replaced(settledFieldText(), "DefaultColWiseHeight=16\r\n", ""),
                     "Header=Value\r\nRowWiseWidth=85", "Header=Value\r\nRowWiseWidth=120"));
}

// A missing field file (deleted while the program ran, or absent at the
// start) left its window without fields and no word, and a file without
// fields was written in its place at the close.
TEST(FieldTable, AMissingFileIsToldOfAndMadeOnlyForTheFieldsAdded) {
  TTemporaryFolder folder;
  const std::string fileName = folder.path() + "AssetFields.INI";
  takeLoadFailures();
  TFieldTable table;
  ASSERT_EQ(table.loadFromFile(fileName, '.', ','), 0);
  const std::vector<std::string> told = takeLoadFailures();
  ASSERT_EQ(told.size(), 1u);
  EXPECT_NE(told[0].find(fileName), std::string::npos);
  table.takeGridSizes(16, 85);
  EXPECT_EQ(table.save('.', ','), 0);
  EXPECT_FALSE(fileExists(fileName));

  table.insertField(0);
  table.items(0)->setHeader("Added");
  ASSERT_EQ(table.save('.', ','), 0);
  EXPECT_TRUE(takeLoadFailures().empty()) << "the save told of the missing file again";
  TFieldTable back;
  ASSERT_EQ(back.loadFromFile(fileName, '.', ','), 0);
  ASSERT_EQ(back.count(), 1);
  EXPECT_EQ(back.items(0)->Header, "Added");
  EXPECT_TRUE(takeLoadFailures().empty());
}

// A field deleted takes its section with it, and the field moved up into
// its number keeps none of the deleted one's keys (a font, written only
// while its font and fill are on).
TEST(FieldTable, AFieldDeletedTakesItsSectionAndKeysWithIt) {
  TTemporaryFolder folder;
  const std::string fileName = folder.path() + "Fields.INI";
  writeWholeFile(fileName, "[Fields]\r\nCount=3\r\n[0]\r\nHeader=A\r\nFontAndFill=1\r\nFontName=Arial\r\n"
                           "[1]\r\nHeader=B\r\n[2]\r\nHeader=C\r\n");
  TFieldTable table;
  ASSERT_EQ(table.loadFromFile(fileName, '.', ','), 0);
  ASSERT_EQ(table.deleteField(0), 0);
  ASSERT_EQ(table.save('.', ','), 0);
  const TPortableIniFile saved(fileName);
  EXPECT_EQ(saved.readString("Fields", "Count", ""), "2");
  EXPECT_EQ(saved.readString("0", "Header", ""), "B");
  EXPECT_EQ(saved.readString("0", "FontName", ""), "");
  EXPECT_EQ(saved.readString("1", "Header", ""), "C");
  EXPECT_FALSE(saved.sectionExists("2"));
}
