#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "model/PortableIniFile.h"
#include "model/RecordCheck.h"
#include "model/SettingsBaseline.h"
#include "model/UnreadableFiles.h"
#include "platform/FileSystem.h"
#include "tests/support/TestFolders.h"

using namespace std::string_literals;

namespace {

// Settings of some window: what it shows, written into its file.
struct TShownSettings {
  std::string colour = "default";
  std::string favourite = "default";
  bool withRecent = false;
  void read(const TPortableIniFile& ini) {
    colour = ini.readString("Look", "Colour", colour);
    favourite = ini.readString("Fav0", "Address", favourite);
    withRecent = ini.sectionExists("Recent");
  }
  void write(TPortableIniFile& ini) const {
    ini.writeString("Look", "Colour", colour);
    ini.writeString("Fav0", "Address", favourite);
    ini.eraseSection("Recent");
    if (withRecent) ini.writeString("Recent", "0", "http://example.com/");
  }
};

const std::string userFile =
    "; kept as the user left it\r\n[Look]\r\nColour=green\r\nWidth=3\r\n[Fav0]\r\nAddress=http://quotes/\r\n"
    "[Recent]\r\n0=http://example.com/\r\n";

class SettingsBaseline : public testing::Test {
 protected:
  // Loads the settings as a window does, and takes what it shows as what
  // the file holds.
  void load() {
    settings.read(TPortableIniFile(file));
    baseline.take(file, writer());
  }
  bool save() { return baseline.save(file, writer()); }
  TSettingsBaseline::TWriter writer() {
    return [this](TPortableIniFile& ini) { settings.write(ini); };
  }

  TTemporaryFolder folder;
  std::string file = folder.path() + "view.ini";
  TShownSettings settings;
  TSettingsBaseline baseline;
};

}  // namespace

TEST(PortableIniFileWrites, AValueWrittenAsItStandsLeavesTheFileUnchanged) {
  TTemporaryFolder folder;
  const std::string file = folder.path() + "same.ini";
  writeWholeFile(file, "[S]\r\nk=v\r\n[T]\r\n");
  TPortableIniFile ini(file);
  ini.writeString("S", "k", "v");
  ini.writeString("S", "gone", "");
  EXPECT_FALSE(ini.Modified());
  ini.writeString("S", "K", "v");
  EXPECT_TRUE(ini.Modified());
}

// A file rewritten for one changed value keeps the others as they were
// written: a formula in quotes once lost them, a system its text flag, and
// a number, written again as it stood or not written at all, its leading
// blank.
TEST(PortableIniFileWrites, ARewriteKeepsTheValuesItDidNotChangeAsWritten) {
  TTemporaryFolder folder;
  const std::string file = folder.path() + "system.ini";
  writeWholeFile(file, "[Rule0]\r\nFlag=\"\"SYS\"\"\r\nComment=\" padded \"\r\nUnits= 5.0E+0000\r\nLot=5\r\n"
                       "Left= 0.0E+0000\r\n");
  {
    TPortableIniFile ini(file);
    EXPECT_EQ(ini.readString("Rule0", "Flag", ""), "\"SYS\"");
    EXPECT_EQ(ini.readString("Rule0", "Units", ""), "5.0E+0000");
    ini.writeString("Rule0", "Units", " 5.0E+0000");
    ini.writeString("Rule0", "Lot", "10");
    ASSERT_TRUE(ini.updateFile());
  }
  EXPECT_EQ(readWholeFile(file),
            "[Rule0]\r\nFlag=\"\"SYS\"\"\r\nComment=\" padded \"\r\nUnits= 5.0E+0000\r\nLot=10\r\nLeft= 0.0E+0000\r\n");
  const TPortableIniFile again(file);
  EXPECT_EQ(again.readString("Rule0", "Flag", ""), "\"SYS\"");
  EXPECT_EQ(again.readString("Rule0", "Comment", ""), " padded ");
}

TEST(PortableIniFileWrites, WriteChangesCarriesOnlyWhatTheWriterChanged) {
  TTemporaryFolder folder;
  TPortableIniFile before(folder.path() + "a", TPortableIniFile::TNewFile{});
  TPortableIniFile after(folder.path() + "a", TPortableIniFile::TNewFile{});
  for (TPortableIniFile* ini : {&before, &after}) {
    ini->writeString("Kept", "Same", "1");
    ini->writeFloat("Kept", "Left", 0.5);
    ini->writeString("Kept", "Changed", "old");
    ini->writeString("Kept", "Dropped", "x");
    ini->writeString("Erased", "Any", "y");
  }
  after.writeString("Kept", "Changed", "new");
  after.writeString("Kept", "Dropped", "");
  after.writeString("Added", "Key", "z");
  after.writeString("Empty", "Key", "z");
  after.writeString("Empty", "Key", "");
  after.eraseSection("Erased");
  const std::string file = folder.path() + "target.ini";
  writeWholeFile(file, "[Kept]\r\nSame=file's own\r\nLeft= 5.00000000000000E-0001\r\nChanged=file's\r\nDropped=x\r\n"
                       "Other=stays\r\n[Erased]\r\nAny=y\r\nMore=z\r\n");
  TPortableIniFile ini(file);
  EXPECT_TRUE(ini.writeChanges(before, after));
  ASSERT_TRUE(ini.updateFile());
  // What another program wrote into a section the writer erased stays:
  // only the writer's own entries go.
  EXPECT_EQ(readWholeFile(file),
            "[Kept]\r\nSame=file's own\r\nLeft= 5.00000000000000E-0001\r\nChanged=new\r\nOther=stays\r\n"
            "[Erased]\r\nMore=z\r\n\r\n[Added]\r\nKey=z\r\n\r\n[Empty]\r\n\r\n");
  writeWholeFile(file, "[Kept]\r\nSame=1\r\n[Erased]\r\nAny=y\r\n");
  TPortableIniFile whole(file);
  EXPECT_TRUE(whole.writeChanges(before, after));
  EXPECT_FALSE(whole.sectionExists("Erased"));
  TPortableIniFile unchanged(file);
  EXPECT_FALSE(unchanged.writeChanges(before, before));
  EXPECT_FALSE(unchanged.Modified());
}

// A file held by another program while it was read shows the defaults; a
// save with nothing changed leaves the file as it is, whether the other
// program still holds it or let it go.
TEST_F(SettingsBaseline, AFileNotReadIsNotOverwrittenWithTheDefaultsShown) {
  writeWholeFile(file, userFile);
  {
    THeldFile held(file);
    ASSERT_TRUE(held.held());
    load();
    EXPECT_EQ(settings.colour, "default");
    EXPECT_TRUE(save());
  }
  EXPECT_TRUE(save());
  EXPECT_EQ(readWholeFile(file), userFile);
}

// What the user changed afterwards is written, and only that: the rest of
// the file keeps what it holds.
TEST_F(SettingsBaseline, AFileNotReadGetsOnlyWhatTheUserChanged) {
  writeWholeFile(file, userFile);
  {
    THeldFile held(file);
    load();
    settings.colour = "red";
    // Still held: nothing can be read, so nothing is written over it.
    EXPECT_FALSE(save());
  }
  EXPECT_EQ(readWholeFile(file), userFile);
  EXPECT_TRUE(save());
  const TPortableIniFile saved(file);
  EXPECT_EQ(saved.readString("Look", "Colour", ""), "red");
  EXPECT_EQ(saved.readString("Look", "Width", ""), "3");
  EXPECT_EQ(saved.readString("Fav0", "Address", ""), "http://quotes/");
  EXPECT_TRUE(saved.sectionExists("Recent"));
}

// A file read as it is and not changed is not written: a read-only one
// gives no failure at every save.
TEST_F(SettingsBaseline, AFileNobodyChangedIsNotRewritten) {
  writeWholeFile(file, userFile);
  load();
  EXPECT_EQ(settings.favourite, "http://quotes/");
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(save());
  settings.withRecent = false;
  EXPECT_FALSE(save());
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(readWholeFile(file), userFile);
  EXPECT_TRUE(save());
  EXPECT_FALSE(TPortableIniFile(file).sectionExists("Recent"));
  // What was saved is the new baseline: saving again writes nothing.
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(save());
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A file missing when the settings were read is made whole at the save.
TEST_F(SettingsBaseline, AMissingFileIsWrittenWhole) {
  load();
  EXPECT_TRUE(save());
  const TPortableIniFile saved(file);
  EXPECT_EQ(saved.readString("Look", "Colour", ""), "default");
  EXPECT_EQ(saved.readString("Fav0", "Address", ""), "default");
}

// A file deleted after it was read comes back whole, the change with the
// rest, and is made again even when nothing changed; it once came back
// holding the change alone, or not at all.
TEST_F(SettingsBaseline, AFileDeletedSinceTheReadIsWrittenWhole) {
  for (const bool changed : {true, false}) {
    SCOPED_TRACE(changed ? "changed" : "unchanged");
    writeWholeFile(file, userFile);
    load();
    ASSERT_TRUE(DeleteFileA(file.c_str()));
    if (changed) settings.colour = "red";
    EXPECT_TRUE(save());
    const TPortableIniFile saved(file);
    EXPECT_EQ(saved.readString("Look", "Colour", ""), changed ? "red" : "green");
    EXPECT_EQ(saved.readString("Fav0", "Address", ""), "http://quotes/");
    EXPECT_TRUE(saved.sectionExists("Recent"));
  }
}

// Taken against the file as read, what the object corrected while loading
// and what the file did not hold yet are saved; the rest stays untouched.
TEST_F(SettingsBaseline, TakenAgainstTheFileReadCorrectionsAndMissingKeysAreSaved) {
  writeWholeFile(file, "[Look]\r\nColour=\"  green\"\r\nWidth=3\r\n");
  {
    const TPortableIniFile read(file);
    settings.read(read);
    settings.colour = "red";  // corrected while loading
    baseline.take(file, writer(), read);
  }
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(save());
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(save());
  const TPortableIniFile saved(file);
  EXPECT_EQ(saved.readString("Look", "Colour", ""), "red");
  EXPECT_EQ(saved.readString("Look", "Width", ""), "3");
  EXPECT_EQ(saved.readString("Fav0", "Address", ""), "default");
}

// Taken against a file read only in part, what stood in for the lines it
// passed over (missing keys filled in) is no change: a close writes
// nothing, and what the user changed goes into the file with every other
// line as it stood: a line that is no entry, a comment, the file's own
// line ends. Such a save once cut the file down to the user's change.
TEST_F(SettingsBaseline, AFileReadOnlyInPartGetsTheUsersChangeAndKeepsEveryOtherLine) {
  for (const std::string lineEnd : {"\r\n", "\n"}) {
    SCOPED_TRACE(lineEnd == "\n" ? "LF" : "CR LF");
    settings = TShownSettings{};
    const auto lines = [&](const std::vector<std::string>& texts) {
      std::string text;
      for (const std::string& line : texts) text += line + lineEnd;
      return text;
    };
    const std::string damaged =
        lines({"; the user's note", "[Look]", "Colour=  green", "reviewed by hand", "Width=3", "", "[Fav0]"});
    writeWholeFile(file, damaged);
    {
      const TPortableIniFile read(file);
      EXPECT_EQ(read.readInPart(), true);
      EXPECT_EQ(read.readString("Look", "Colour", ""), "green");
      settings.read(read);
      baseline.take(file, writer(), read);
    }
    EXPECT_TRUE(save());
    EXPECT_EQ(readWholeFile(file), damaged);
    settings.colour = "red";
    settings.favourite = "http://quotes/";
    EXPECT_TRUE(save());
    EXPECT_EQ(readWholeFile(file), lines({"; the user's note", "[Look]", "Colour=red", "reviewed by hand", "Width=3",
                                          "", "[Fav0]", "Address=http://quotes/"}));
  }
}

// A file a rewrite could not keep whole takes no change: saved as Unicode
// (UTF-16), holding bytes that are no text, or a section header that lost
// a bracket (the entries below it were read into the section before, so no
// write can tell where they belong). The save fails, the file stays byte
// for byte, and why is told.
TEST_F(SettingsBaseline, AFileARewriteCannotKeepWholeIsNotWrittenAndWhyIsTold) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"\xff\xfe[\0L\0o\0o\0k\0]\0\r\0\n\0"s, "is saved as Unicode (UTF-16), not as ANSI text"},
      {"[Look]\r\nColour=gr\0en\r\n"s, "holds bytes that are no text (another encoding, or damage)"},
      {"[Look]\r\nColour=green\r\nFav0]\r\nAddress=http://quotes/\r\n",
       "holds the line \"Fav0]\", a section header that lost a bracket"},
      {"[Look]\r\nColour=green\r\n[Fav0\r\nAddress=http://quotes/\r\n",
       "holds the line \"[Fav0\", a section header that lost a bracket"}};
  for (const auto& [damaged, why] : cases) {
    SCOPED_TRACE(why);
    writeWholeFile(file, damaged);
    takeDamagedFiles();
    {
      const TPortableIniFile read(file);
      EXPECT_EQ(read.writeRefusal(), why);
      settings.read(read);
      baseline.take(file, writer(), read);
    }
    EXPECT_EQ(takeDamagedFiles(), std::vector<std::string>{file + "|" + why});
    EXPECT_TRUE(save()) << "nothing changed, nothing to refuse";
    settings.colour = "red";
    EXPECT_FALSE(save());
    EXPECT_EQ(readWholeFile(file), damaged);
    EXPECT_EQ(refusedSaveText(file), file + " " + why);
    settings.colour = "green";
  }
  EXPECT_EQ(damagedFilesNotice({file + "|is saved as Unicode (UTF-16), not as ANSI text"}),
            "Could not read all of " + file +
                ": it is saved as Unicode (UTF-16), not as ANSI text. Changes to it are not saved until it is "
                "repaired.");
  // Mended, the file takes the change, and no reason stays behind.
  writeWholeFile(file, "[Look]\r\nColour=green\r\n");
  load();
  settings.colour = "red";
  EXPECT_TRUE(save());
  EXPECT_EQ(refusedSaveText(file), "");
  EXPECT_EQ(refusedSavesText({"other.ini", file}), "");
  reportRefusedSave(file, "is saved as Unicode (UTF-16), not as ANSI text");
  EXPECT_EQ(refusedSavesText({"other.ini", file}),
            "\r\r" + file + " is saved as Unicode (UTF-16), not as ANSI text.\rWhat such a file holds is kept: "
            "repair it, or save it again as ANSI text, and Try Again.");
  EXPECT_EQ(damagedFilesNotice({"a.ini|why", "b.ini|why"}),
            "Could not read all of b.ini and 1 more file; changes to them are not saved until they are repaired.");
}

// The user adds a numbered section (a field) while another program added
// one of the same number to the file: written key by key, the two merged
// into one and the other program's was lost. The save is refused and told;
// a section both added alike is no conflict.
TEST_F(SettingsBaseline, ANumberedSectionBothProgramsAddedIsNotMergedIntoOne) {
  std::string formula;
  const TSettingsBaseline::TWriter write = [&](TPortableIniFile& ini) {
    ini.writeInteger("Fields", "Count", formula.empty() ? 2 : 3);
    if (!formula.empty()) ini.writeString("2", "Content", formula);
  };
  const std::string fields = "[Fields]\r\nCount=2\r\n";
  writeWholeFile(file, fields);
  baseline.take(file, write, TPortableIniFile(file));
  const std::string synced = "[Fields]\r\nCount=3\r\n[2]\r\nContent=ASSET_VALUE(SELF)\r\n";
  writeWholeFile(file, synced);
  formula = "PORTFOLIO_NAV(P)";
  EXPECT_FALSE(baseline.save(file, write));
  EXPECT_EQ(readWholeFile(file), synced);
  EXPECT_EQ(refusedSaveText(file),
            file + " was changed by another program meanwhile, which added a section [2] as this program did");
  formula = "ASSET_VALUE(SELF)";
  EXPECT_TRUE(baseline.save(file, write));
  EXPECT_EQ(readWholeFile(file), synced);

  // A section left over beyond the count when the file was read is no
  // other program's: the field added under its number replaces it whole
  // instead of taking its keys.
  formula.clear();
  writeWholeFile(file, "[Fields]\r\nCount=2\r\n[2]\r\nContent=OLD()\r\nHeader=Old\r\n");
  baseline.take(file, write, TPortableIniFile(file));
  formula = "PORTFOLIO_NAV(P)";
  EXPECT_TRUE(baseline.save(file, write));
  EXPECT_EQ(readWholeFile(file), "[Fields]\r\nCount=3\r\n[2]\r\nContent=PORTFOLIO_NAV(P)\r\n");

  // Refused for a later section, the save once still took the left-over
  // one out of the file.
  const TSettingsBaseline::TWriter writeTwo = [&](TPortableIniFile& ini) {
    ini.writeInteger("Fields", "Count", formula.empty() ? 2 : 4);
    if (!formula.empty()) ini.writeString("2", "Content", formula);
    if (!formula.empty()) ini.writeString("3", "Content", formula);
  };
  formula.clear();
  writeWholeFile(file, "[Fields]\r\nCount=2\r\n[2]\r\nContent=OLD()\r\n");
  baseline.take(file, writeTwo, TPortableIniFile(file));
  const std::string added = "[Fields]\r\nCount=2\r\n[2]\r\nContent=OLD()\r\n[3]\r\nContent=THEIRS()\r\n";
  writeWholeFile(file, added);
  formula = "PORTFOLIO_NAV(P)";
  EXPECT_FALSE(baseline.save(file, writeTwo));
  EXPECT_EQ(readWholeFile(file), added);
}

// A writer leaves keys out for reasons of its own (a main window zoomed, a
// control not made): the save once took each for a key deleted, and a
// maximised window's close lost its size and place. The file keeps what it
// holds for them at this save and the next, while a key written empty (a
// property cleared) and the entries of a section written anew (a list
// shortened) go.
TEST_F(SettingsBaseline, AKeyTheWriterLeavesOutKeepsWhatTheFileHolds) {
  bool zoomed = false;
  int left = 10;
  std::string note = "old";
  std::vector<std::string> recent = {"a", "b"};
  const TSettingsBaseline::TWriter write = [&](TPortableIniFile& ini) {
    if (!zoomed) {
      ini.writeInteger("Window", "Left", left);
      ini.writeInteger("Window", "Width", 800);
    }
    ini.writeBool("Window", "Maximized", zoomed);
    ini.writeString("Window", "Note", note);
    ini.eraseSection("Recent");
    for (size_t i = 0; i < recent.size(); ++i) ini.writeString("Recent", std::to_string(i), recent[i]);
  };
  writeWholeFile(file, "[Window]\r\nLeft=10\r\nWidth=800\r\nMaximized=0\r\nNote=old\r\n[Recent]\r\n0=a\r\n1=b\r\n");
  baseline.take(file, write, TPortableIniFile(file));
  zoomed = true;
  ASSERT_TRUE(baseline.save(file, write));
  EXPECT_EQ(readWholeFile(file),
            "[Window]\r\nLeft=10\r\nWidth=800\r\nMaximized=1\r\nNote=old\r\n[Recent]\r\n0=a\r\n1=b\r\n");
  note.clear();
  recent = {"a"};
  ASSERT_TRUE(baseline.save(file, write));
  EXPECT_EQ(readWholeFile(file), "[Window]\r\nLeft=10\r\nWidth=800\r\nMaximized=1\r\n[Recent]\r\n0=a\r\n");
  // Restored, the window's own place is written again.
  zoomed = false;
  left = 20;
  ASSERT_TRUE(baseline.save(file, write));
  EXPECT_EQ(readWholeFile(file), "[Window]\r\nLeft=20\r\nWidth=800\r\nMaximized=0\r\n[Recent]\r\n0=a\r\n");
}

// Without a baseline (a damaged file the user then changed) the object's
// settings are written whole over the file as it stands: what the writer
// removes goes with the rest, which once only added and changed, while a
// key it leaves out and a comment stay.
TEST_F(SettingsBaseline, WrittenWholeWithoutABaselineTheFileLosesWhatTheWriterRemoves) {
  writeWholeFile(file, userFile);
  load();
  baseline.forget();
  settings.colour = "red";
  settings.favourite.clear();
  settings.withRecent = false;
  EXPECT_TRUE(save());
  EXPECT_EQ(readWholeFile(file), "; kept as the user left it\r\n[Look]\r\nColour=red\r\nWidth=3\r\n[Fav0]\r\n");
}

// A folder under the file's name is a file that cannot be read, not a
// missing one: a save with nothing changed tries no write (which would
// fail and ask at every close), and one with a change fails.
TEST_F(SettingsBaseline, AFolderUnderTheNameIsNoMissingFile) {
  ASSERT_TRUE(CreateDirectoryA(file.c_str(), nullptr));
  load();
  EXPECT_TRUE(save());
  settings.colour = "red";
  EXPECT_FALSE(save());
  EXPECT_TRUE(folderExists(file));
}

// A number the file spells so that it reads as none (a decimal comma, a
// letter for a digit) shows as the object's default: that default is no
// change of the user's, so a close leaves the text as it stands and the
// file is named; a value the user gives is written. A number corrected
// while loading is still saved.
TEST_F(SettingsBaseline, ANumberThatDoesNotReadStaysAsSpelledUntilTheUserGivesOne) {
  int width = 0;
  int left = 0;
  double scale = 0;
  const TSettingsBaseline::TWriter write = [&](TPortableIniFile& ini) {
    ini.writeInteger("Look", "Width", width);
    ini.writeInteger("Look", "Left", left);
    ini.writeFloat("Look", "Scale", scale);
  };
  // The scale spelled short by hand is the number the program writes long:
  // no change either.
  const std::string text = "[Look]\r\nWidth=8,5\r\nLeft=-40\r\nScale=0.25\r\n";
  writeWholeFile(file, text);
  takePartlyReadFiles();
  {
    const TPortableIniFile read(file);
    width = read.readInteger("Look", "Width", 85);
    left = std::max(0, read.readInteger("Look", "Left", 0));  // moved back onto the screen
    scale = read.readFloat("Look", "Scale", 1);
    baseline.take(file, write, read);
  }
  EXPECT_EQ(takePartlyReadFiles(), std::vector<std::string>{file});
  ASSERT_TRUE(baseline.save(file, write));
  EXPECT_EQ(readWholeFile(file), "[Look]\r\nWidth=8,5\r\nLeft=0\r\nScale=0.25\r\n");
  width = 90;
  ASSERT_TRUE(baseline.save(file, write));
  EXPECT_EQ(TPortableIniFile(file).readString("Look", "Width", ""), "90");
}

namespace {

// A dialog's place, read as a window reads it: a whole number that does
// not read gives way to the default, one that reads is kept on the screen.
struct TPlace {
  int left = 100;
  int width = 400;
  double split = 0.5;
  void read(const TPortableIniFile& ini) {
    left = std::min(ini.readInteger("Dialog", "Left", left), 1000);
    width = ini.readInteger("Dialog", "Width", width);
    split = ini.readFloat("Dialog", "Split", split);
  }
  void write(TPortableIniFile& ini) const {
    ini.writeInteger("Dialog", "Left", left);
    ini.writeInteger("Dialog", "Width", width);
    ini.writeFloat("Dialog", "Split", split);
  }
};

// Reads the file as a window does and takes it as the baseline; the files
// named meanwhile.
std::vector<std::string> takenAndNamed(const std::string& file, TPlace& place, TSettingsBaseline& baseline) {
  takePartlyReadFiles();
  const TPortableIniFile read(file);
  place.read(read);
  baseline.take(file, [&place](TPortableIniFile& ini) { place.write(ini); }, read);
  return takePartlyReadFiles();
}

}  // namespace

// A whole number beyond what the option holds was once replaced at the
// next save by the default that stood in for it, without a word; one the
// window corrected (a place moved back onto the screen) is saved corrected.
TEST(OptionsInABaseline, AWholeNumberBeyondItsRangeStaysAsSpelledAndTheFileIsNamed) {
  TTemporaryFolder folder;
  const std::string file = folder.path() + "options.INI";
  for (const char* width : {"9223372036854775808", "1E300", "412.5"}) {
    const std::string text =
        std::string("[Dialog]\r\nLeft=5000\r\nWidth=") + width + "\r\nSplit=" + floatToIniText(0.25) + "\r\n";
    writeWholeFile(file, text);
    TPlace place;
    TSettingsBaseline baseline;
    const auto write = [&place](TPortableIniFile& ini) { place.write(ini); };
    EXPECT_EQ(takenAndNamed(file, place, baseline), std::vector<std::string>{file}) << width;
    ASSERT_TRUE(baseline.save(file, write));
    const TPortableIniFile saved(file);
    EXPECT_EQ(saved.readString("Dialog", "Width", ""), width);
    EXPECT_EQ(saved.readInteger("Dialog", "Left", 0), 1000) << "corrected on loading";
    place.width = 380;
    ASSERT_TRUE(baseline.save(file, write));
    EXPECT_EQ(TPortableIniFile(file).readInteger("Dialog", "Width", 0), 380) << "changed by the user";
  }
}

// Numbers that read as the option's own are nothing to name.
TEST(OptionsInABaseline, AFileWhoseNumbersReadIsNotNamed) {
  TTemporaryFolder folder;
  const std::string file = folder.path() + "options.INI";
  writeWholeFile(file, "[Dialog]\r\nLeft=20\r\nWidth=300\r\nSplit=" + floatToIniText(0.25) + "\r\n");
  TPlace place;
  TSettingsBaseline baseline;
  EXPECT_EQ(takenAndNamed(file, place, baseline), std::vector<std::string>{});
  const auto write = [&place](TPortableIniFile& ini) { place.write(ini); };
  const int64_t age = fileAge(file);
  ASSERT_TRUE(baseline.save(file, write));
  EXPECT_EQ(fileAge(file), age);
}

namespace {

// A record as the program shows it, written with its entry count.
struct TShownRecord {
  std::string duration = "6.8";
  std::string broker;
  void write(TPortableIniFile& ini) const {
    const std::vector<std::string> counted = {"Asset", "CustomProperties"};
    beginEntryCount(ini, counted);
    ini.writeString("Asset", "Name", "Euro Bond Fund");
    ini.writeString("Asset", "Symbol", "EBF");
    ini.writeString("Asset", "Currency", "EUR");
    ini.writeString("CustomProperties", "Duration", duration);
    ini.writeString("CustomProperties", "Other", "0");
    ini.writeString("CustomProperties", "Broker", broker);
    endEntryCount(ini, counted);
  }
};

}  // namespace

// Another program cut entries out of a file while the program ran: a save
// of any change, whichever way it goes, once wrote only that change over
// what was left, and the rest was lost. What was lost is put back from what
// the program holds and told, and only that: a value the other program
// changed, or an entry it added, stays, and the count fits the file as
// written. A file cut at its top or inside its last line is written so that
// it reads back whole.
TEST_F(SettingsBaseline, EntriesAnotherProgramCutOutArePutBackAtAnySave) {
  const std::string whole =
      "[Asset]\r\nEntries=6\r\nName=Euro Bond Fund\r\nSymbol=EBF\r\nCurrency=EUR\r\n\r\n[CustomProperties]\r\n"
      "Duration=6.8\r\nOther=0\r\n";
  const std::string put = "Another program had cut ";
  const std::string back = " while this program ran; it put back what it holds.";
  const std::string asset = "the asset Euro Bond Fund of Growth Portfolio";
  struct TCut {
    std::string what;
    std::string cut;  // the file as the other program left it
    bool inPlace;  // saved in place, else by a plain save
    std::string saved;
    std::string told;  // empty: the file's name
  };
  const std::vector<TCut> cuts = {
      {"cut at a line end", whole.substr(0, whole.find("Duration")), false,
       "[Asset]\r\nEntries=7\r\nName=Euro Bond Fund\r\nSymbol=EBF\r\nCurrency=EUR\r\n\r\n[CustomProperties]\r\n"
       "Duration=6.8\r\nOther=0\r\nBroker=Comdirect\r\n",
       "Duration and Other out of " + asset},
      {"a line taken out, a value changed",
       "[Asset]\r\nEntries=6\r\nName=Euro Bond Fund\r\nSymbol=EBF\r\nCurrency=EUR\r\n\r\n[CustomProperties]\r\n"
       "Duration=7.1\r\n",
       true,
       "[Asset]\r\nEntries=7\r\nName=Euro Bond Fund\r\nSymbol=EBF\r\nCurrency=EUR\r\n\r\n[CustomProperties]\r\n"
       "Duration=7.1\r\nOther=0\r\nBroker=Comdirect\r\n",
       "Other out of " + asset},
      {"an entry added, one taken out",
       "[Asset]\r\nEntries=6\r\nName=Euro Bond Fund\r\nAdvisor=in-house\r\nSymbol=EBF\r\n\r\n[CustomProperties]\r\n"
       "Duration=6.8\r\nOther=0\r\n",
       false,
       "[Asset]\r\nEntries=8\r\nName=Euro Bond Fund\r\nAdvisor=in-house\r\nSymbol=EBF\r\nCurrency=EUR\r\n\r\n"
       "[CustomProperties]\r\nDuration=6.8\r\nOther=0\r\nBroker=Comdirect\r\n",
       "Currency out of " + asset},
      {"cut at its top", whole.substr(whole.find("Symbol")), false,
       "[Asset]\r\nEntries=7\r\nSymbol=EBF\r\nCurrency=EUR\r\nName=Euro Bond Fund\r\n\r\n[CustomProperties]\r\n"
       "Duration=6.8\r\nOther=0\r\nBroker=Comdirect\r\n",
       "its entry count and Name out of " + asset},
      {"cut inside its last line", whole.substr(0, whole.find("8\r\nOther")), true,
       "[Asset]\r\nEntries=7\r\nName=Euro Bond Fund\r\nSymbol=EBF\r\nCurrency=EUR\r\n\r\n[CustomProperties]\r\n"
       "Duration=6.8\r\nOther=0\r\nBroker=Comdirect\r\n",
       "Duration and Other out of the file"}};
  for (const TCut& cut : cuts) {
    SCOPED_TRACE(cut.what);
    TShownRecord record;
    const TSettingsBaseline::TWriter write = [&record](TPortableIniFile& ini) { record.write(ini); };
    writeWholeFile(file, whole);
    TSettingsBaseline taken;
    taken.takeOfExistingFile(file, write, TPortableIniFile(file));
    if (cut.told.ends_with(asset)) taken.describe(asset);
    writeWholeFile(file, cut.cut);
    record.broker = "Comdirect";
    takeSavedWhole();
    EXPECT_TRUE(cut.inPlace ? taken.saveInPlace(file, write, false) : taken.save(file, write));
    EXPECT_EQ(readWholeFile(file), cut.saved);
    const std::string named = cut.told.ends_with("the file") ? cut.told.substr(0, cut.told.size() - 8) + file
                                                              : cut.told;
    EXPECT_EQ(takeSavedWhole(), std::vector<std::string>{put + named + back});
    const TPortableIniFile again(file);
    EXPECT_TRUE(again.readWhole());
    EXPECT_EQ(recordFault(again, {}, {"Asset", "CustomProperties"}), "");
  }
}

// A file another program cut while the program ran stayed cut when the
// object changed nothing, and the next start refused it. A save with
// nothing changed now reads a file whose size or time another program
// changed, puts back what it cut and tells it, and writes nothing else: a
// value the other program changed stays, and a file that lost nothing is
// not rewritten. One whose size and time are as the program left them is
// not read at all.
TEST_F(SettingsBaseline, WithNothingChangedAFileAnotherProgramCutIsPutBackAndOnlySuchAFileIsRead) {
  const std::string whole =
      "[Asset]\r\nEntries=6\r\nName=Euro Bond Fund\r\nSymbol=EBF\r\nCurrency=EUR\r\n\r\n[CustomProperties]\r\n"
      "Duration=6.8\r\nOther=0\r\n";
  const std::string asset = "the asset Euro Bond Fund of Growth Portfolio";
  TShownRecord record;
  const TSettingsBaseline::TWriter write = [&record](TPortableIniFile& ini) { record.write(ini); };
  writeWholeFile(file, whole);
  TSettingsBaseline taken;
  taken.takeOfExistingFile(file, write, TPortableIniFile(file));
  taken.describe(asset);
  const auto setWritten = [this](int64_t written) {
    const HANDLE handle = CreateFileA(file.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    const FILETIME time{static_cast<DWORD>(written), static_cast<DWORD>(written >> 32)};
    EXPECT_TRUE(SetFileTime(handle, nullptr, nullptr, &time));
    CloseHandle(handle);
  };
  const int64_t asLeft = fileAge(file);
  // Cut to the same size and given back its time: not read, so not mended.
  std::string sameSize = whole.substr(0, whole.find("Duration"));
  sameSize += ";" + std::string(whole.size() - sameSize.size() - 3, '-') + "\r\n";
  writeWholeFile(file, sameSize);
  setWritten(asLeft);
  takeSavedWhole();
  EXPECT_TRUE(taken.saveUnchanged(file, write));
  EXPECT_TRUE(taken.save(file, write));
  EXPECT_EQ(readWholeFile(file), sameSize);
  EXPECT_EQ(fileAge(file), asLeft);
  EXPECT_EQ(takeSavedWhole(), std::vector<std::string>{});
  // Its time changed, the same file is read and mended; Duration as the
  // other program changed it stays.
  const std::string cut = whole.substr(0, whole.find("Duration")) + "Duration=7.1\r\n";
  writeWholeFile(file, cut);
  setWritten(asLeft + 10'000'000);
  EXPECT_TRUE(taken.saveUnchanged(file, write));
  const std::string mended = cut + "Other=0\r\n";
  EXPECT_EQ(readWholeFile(file), mended);
  EXPECT_EQ(takeSavedWhole(), std::vector<std::string>{"Another program had cut Other out of " + asset +
                                                       " while this program ran; it put back what it holds."});
  // Another program's change that cut nothing is not written over.
  const std::string changed = mended.substr(0, mended.find("7.1")) + "7.25" + mended.substr(mended.find("\r\nOther"));
  writeWholeFile(file, changed);
  setWritten(asLeft + 20'000'000);
  EXPECT_TRUE(taken.save(file, write));
  EXPECT_EQ(readWholeFile(file), changed);
  EXPECT_EQ(fileAge(file), asLeft + 20'000'000);
  EXPECT_EQ(takeSavedWhole(), std::vector<std::string>{});
}
