#include <algorithm>
#include <cctype>
#include <functional>

#include "model/PortableIniFile.h"
#include "tests/program/ProgramDriver.h"
#include "tests/support/GermanRegionalSettings.h"

namespace {

// The program on a fresh working folder up to its main window, where the
// caller looks, and through its close; the folder's files afterwards.
std::map<std::string, std::string> runUntilClosed(const std::function<void(HWND main)>& look) {
  TTemporaryFolder temporary;
  const std::string work = prepareWorkingFolder(temporary);
  std::map<std::string, std::string> files;
  {
    TProgram program(work);
    HWND pick = program.waitForWindow("Loaded portfolios", busyMachine());
    EXPECT_NE(pick, nullptr);
    if (!pick) return files;
    PostMessageA(pick, WM_KEYDOWN, VK_RETURN, 0);
    HWND main = program.waitForWindow("Kestrova: Growth Portfolio", busyMachine());
    EXPECT_NE(main, nullptr);
    if (!main) return files;
    look(main);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.endedCleanly());
  }
  readTree(work, "", files);
  // Only the folder's own path differs between two runs.
  for (auto& [name, bytes] : files) {
    for (std::size_t at = bytes.find(work); at != std::string::npos; at = bytes.find(work, at))
      bytes.replace(at, work.size(), "<work>\\");
  }
  return files;
}

}  // namespace

// The program reads the user's separators at its start: a German user types
// and sees "," in numbers and ";" between arguments, and the files it writes
// are those an English user's program writes.
TEST(Program, GermanRegionalSettingsAreShownAndTheFilesStayAsUnderEnglishOnes) {
  const auto english = runUntilClosed([](HWND main) {
    pumpFor(500);
    captureWindow(main).savePng("program-english-settings");
    typeIntoTheMacroSheet(main, {"1234.5", "=ROUND(A1*2.25,1)+0.10-1.5E3", "1234.5"});
  });
  std::map<std::string, std::string> german;
  {
    TGermanRegionalSettings settings;
    german = runUntilClosed([](HWND main) {
      pumpFor(500);
      captureWindow(main).savePng("program-german-settings");
      typeIntoTheMacroSheet(main, {"1234,5", "=ROUND(A1*2,25;1)+0,10-1,5E3", "1234,5"});
    });
  }
  ASSERT_FALSE(english.empty());
  // Every number as typed: only the separators are those of the file.
  EXPECT_NE(english.at("DATA\\GUIoptions.INI").find("2:1=1:=ROUND(A1*2.25;1)+0.10-1.5E3"), std::string::npos);
  ASSERT_EQ(english.size(), german.size());
  for (const auto& [name, bytes] : english) {
    auto found = german.find(name);
    ASSERT_NE(found, german.end()) << name;
    EXPECT_EQ(found->second, bytes) << name;
  }
}

namespace {

// The close's question names the file, says what goes when the program ends
// without it, and offers the three answers.
bool asksAboutTheClose(HWND message, const std::string& file) {
  // The folder's name may come in capitals.
  std::string expected = "Failed to save " + file + ".\r\rTry Again: save again.\rContinue: end the program and "
                         "leave the file as it is; what was not written into it is lost.\rCancel: go back to the "
                         "program.";
  bool named = false;
  std::vector<std::string> buttons;
  for (std::string text : childTexts(message)) {
    if (text == "Cancel" || text == "&Try Again" || text == "&Continue") buttons.push_back(text);
    for (std::string* each : {&text, &expected})
      for (char& c : *each) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    named = named || text == expected;
  }
  std::sort(buttons.begin(), buttons.end());
  return named && buttons == std::vector<std::string>{"&Continue", "&Try Again", "Cancel"};
}

// Starts the program, moves its main window (something to save into the
// options file), makes the file read-only and closes: the question asked.
HWND closedWithAnUnwritableFile(TProgram& program, const std::string& options, HWND& main) {
  HWND pick = program.waitForWindow("Loaded portfolios", busyMachine());
  if (pick == nullptr) return nullptr;
  PostMessageA(pick, WM_KEYDOWN, VK_RETURN, 0);
  main = program.waitForWindow("Kestrova: ", busyMachine());
  if (main == nullptr) return nullptr;
  pumpFor(300);
  SetWindowPos(main, nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetFileAttributesA(options.c_str(), FILE_ATTRIBUTE_READONLY);
  PostMessageA(main, WM_CLOSE, 0, 0);
  HWND message = program.waitForWindow("Error", busyMachine());
  if (message != nullptr && !asksAboutTheClose(message, options)) return nullptr;
  return message;
}

}  // namespace

// A close that could not write the window options once ended the program in
// a second and took the test sheet's edits with it.
TEST(Program, ACloseThatCannotWriteAFileNamesItAndCancelKeepsTheProgram) {
  TTemporaryFolder temporary;
  const std::string work = prepareWorkingFolder(temporary);
  const std::string options = work + "DATA\\GUIoptions.INI";
  writeWholeFile(options, "[MainWindow]\r\nFirstRun=0\r\n");
  TProgram program(work);
  HWND main = nullptr;
  const HWND message = closedWithAnUnwritableFile(program, options, main);
  ASSERT_NE(message, nullptr);
  PostMessageA(message, WM_COMMAND, IDCANCEL, 0);
  // Once the answer is handled, however long a busy machine takes.
  ASSERT_TRUE(pumpUntil([&] { return !IsWindow(message); }, busyMachine()));
  EXPECT_TRUE(program.running()) << "cancelled: the program stays";
  EXPECT_TRUE(IsWindowVisible(main));
  EXPECT_EQ(readWholeFile(options), "[MainWindow]\r\nFirstRun=0\r\n");

  SetFileAttributesA(options.c_str(), FILE_ATTRIBUTE_NORMAL);
  PostMessageA(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(program.endedCleanly());
  EXPECT_EQ(TPortableIniFile(options).readInteger("MainWindow", "Left", -1), 40);
}

// A file that stayed unwritable once kept the program open at every close
// until it was killed, and every other unsaved edit went with it.
TEST(Program, ACloseCanEndWithoutAFileThatStaysUnwritable) {
  TTemporaryFolder temporary;
  const std::string work = prepareWorkingFolder(temporary);
  const std::string options = work + "DATA\\GUIoptions.INI";
  writeWholeFile(options, "[MainWindow]\r\nFirstRun=0\r\n");
  TProgram program(work);
  HWND main = nullptr;
  const HWND message = closedWithAnUnwritableFile(program, options, main);
  ASSERT_NE(message, nullptr);
  PostMessageA(message, WM_COMMAND, IDCONTINUE, 0);
  EXPECT_TRUE(program.endedCleanly()) << "the program ends without the file's changes";
  SetFileAttributesA(options.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(readWholeFile(options), "[MainWindow]\r\nFirstRun=0\r\n");
}
