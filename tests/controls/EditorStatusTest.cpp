#include <gtest/gtest.h>

#include "controls/EditorStatus.h"
#include "tests/support/TestFolders.h"

namespace {

// Feeds keys as a user types them: '\n' is Enter, '\b' Backspace, '\x7f'
// Delete, anything else a character.
void keys(TEditorStatus& document, const std::string& strokes) {
  for (char c : strokes) {
    const WORD key = c == '\n' ? VK_RETURN : c == '\b' ? VK_BACK : c == '\x7f' ? VK_DELETE : 0;
    if (key)
      document.keyDown(key, 0);
    else
      document.keyPress(c);
  }
}

std::string text(const TEditorStatus& document) {
  std::string all;
  document.getText(true, all);
  return all;
}

TEditorStatus withText(const std::string& content) {
  TEditorStatus document;
  document.insertText(content);
  document.setCaret({1, 1});
  return document;
}

TEST(EditorStatusHistory, TypingAndDeletingRunsUndoInOneStepEach) {
  TEditorStatus document;
  EXPECT_EQ(document.canUndo(), 1);
  keys(document, "abc\b\b");
  EXPECT_EQ(text(document), "a\n");
  ASSERT_TRUE(document.undo());
  EXPECT_EQ(text(document), "abc\n");
  ASSERT_TRUE(document.undo());
  EXPECT_EQ(text(document), "");
  EXPECT_EQ(document.canUndo(), 1);  // the empty document's own snapshot
  EXPECT_EQ(document.canRedo(), 2);
}

TEST(EditorStatusHistory, ANewEditAfterUndoClearsRedo) {
  TEditorStatus document;
  keys(document, "abc\b");
  ASSERT_TRUE(document.undo());
  keys(document, "d");
  EXPECT_FALSE(document.redo());
  EXPECT_EQ(text(document), "abcd\n");
  ASSERT_TRUE(document.undo());
  EXPECT_EQ(text(document), "abc\n");
}

TEST(EditorStatusHistory, ModifiedMeansTheTextIsNotTheSavedOne) {
  TTemporaryFolder folder;
  TEditorStatus document;
  keys(document, "ab");
  ASSERT_TRUE(document.saveToFile(folder.path() + "a.txt", false));
  EXPECT_FALSE(document.modified);
  ASSERT_TRUE(document.undo());  // differs from the file: must still be saved
  EXPECT_TRUE(document.modified);
  ASSERT_TRUE(document.redo());
  EXPECT_FALSE(document.modified);
  keys(document, "c");
  EXPECT_TRUE(document.modified);
}

TEST(EditorStatusHistory, KeepsTheTenNewestSnapshots) {
  TEditorStatusHistory history;
  TEditorStatusCore state;
  for (int i = 0; i < 11; ++i) {
    state.lines = {std::to_string(i)};
    history.push(state);
  }
  EXPECT_EQ(history.count(), 10);
  for (int i = 10; i >= 1; --i) EXPECT_EQ(history.pop()->lines[0], std::to_string(i));
  EXPECT_EQ(history.pop(), nullptr);
  EXPECT_FALSE(TEditorStatusHistory(0).push(state));
}

TEST(EditorStatusEditing, VirtualSpaceTypingDeletingAndJoining) {
  TEditorStatus document;
  document.setCaret({10, 1});
  keys(document, "x");
  EXPECT_EQ(text(document), "         x\n");

  document = withText("ab\ncd");
  document.setCaret({6, 1});
  keys(document, "\x7f");  // Delete beyond the end joins without blanks
  EXPECT_EQ(text(document), "abcd\n");

  document.setCaret({8, 1});
  keys(document, "\b");  // in virtual space only the caret moves
  EXPECT_EQ(document.getCaret(), (TTextPoint{7, 1}));
  EXPECT_EQ(text(document), "abcd\n");

  document = withText("ab\ncd");
  document.setCaret({1, 2});
  keys(document, "\b");
  EXPECT_EQ(text(document), "abcd\n");
  EXPECT_EQ(document.getCaret(), (TTextPoint{3, 1}));

  document = withText("ab\n   cd");
  document.insertMode = false;
  keys(document, "\n");
  EXPECT_EQ(document.getCaret(), (TTextPoint{4, 2}));
  EXPECT_EQ(text(document), "ab\n   cd\n");

  document.readOnly = true;
  EXPECT_FALSE(document.keyPress('z'));
  EXPECT_FALSE(document.insertText("z"));
  EXPECT_EQ(document.canUndo(), 0);
}

TEST(EditorStatusEditing, CtrlBackspaceAndWordMoves) {
  TEditorStatus document = withText("one two  \nthree");
  document.setCaret({8, 1});
  document.keyDown(VK_BACK, ssCtrl);
  EXPECT_EQ(text(document), "one   \nthree\n");
  EXPECT_FALSE(document.keyPress('\b'));  // the character of the same stroke
  document.setCaret({1, 2});
  document.keyDown(VK_BACK, ssCtrl);  // at column 1 it joins like Backspace
  EXPECT_EQ(text(document), "one   three\n");

  document = withText("one two");
  document.setCaret({6, 1});
  document.keyDown(VK_LEFT, ssCtrl);
  EXPECT_EQ(document.getCaret().x, 4);
  document.keyDown(VK_LEFT, ssCtrl);
  EXPECT_EQ(document.getCaret().x, 1);
  document.keyDown(VK_RIGHT, ssCtrl);
  EXPECT_EQ(document.getCaret().x, 4);
  document.keyDown(VK_RIGHT, ssCtrl);
  EXPECT_EQ(document.getCaret().x, 5);
  document.keyDown(VK_END, 0);
  EXPECT_EQ(document.getCaret().x, 8);
}

TEST(EditorStatusEditing, SelectionDeletionAndSelectedText) {
  TEditorStatus document = withText("abc\ndef\nghi");
  document.setSelection({3, 3, 2, 1});
  std::string selected;
  document.getSelectedText(selected);
  EXPECT_EQ(selected, "bc\r\ndef\r\ngh");
  ASSERT_TRUE(document.deleteSelection());
  EXPECT_EQ(text(document), "ai\n");
  EXPECT_EQ(document.getCaret(), (TTextPoint{2, 1}));
  EXPECT_FALSE(document.deleteSelection());

  document = withText("abc\ndef");
  document.setSelection({2, 1, 2, 2});
  ASSERT_TRUE(document.cut());
  EXPECT_EQ(text(document), "aef\n");
  EXPECT_TRUE(document.canPaste());
  ASSERT_TRUE(document.paste());
  EXPECT_EQ(text(document), "abc\ndef\n");
}

TEST(EditorStatusFiles, LineEndsOnLoadAndSave) {
  TTemporaryFolder folder;
  const std::string name = folder.path() + "n.txt";
  TEditorStatus document;
  writeWholeFile(name, "one\r\ntwo\r\n");
  ASSERT_TRUE(document.loadFromFile(name));
  EXPECT_EQ(document.lineCount(), 2);
  EXPECT_EQ(document.canUndo(), 0);
  ASSERT_TRUE(document.saveToFile(name, false));
  EXPECT_EQ(readWholeFile(name), "one\r\ntwo\r\n");

  writeWholeFile(name, "one\ntwo");
  ASSERT_TRUE(document.loadFromFile(name));
  ASSERT_TRUE(document.saveToFile(name, false));
  EXPECT_EQ(readWholeFile(name), "one\r\ntwo\r\n");

  writeWholeFile(name, "a\rb\rc\r");
  ASSERT_TRUE(document.loadFromFile(name));
  EXPECT_EQ(text(document), "abc\n");
  writeWholeFile(name, "");
  ASSERT_TRUE(document.loadFromFile(name));
  EXPECT_EQ(document.lineCount(), 0);
}

TEST(EditorStatusFiles, FailuresKeepTheDocumentAndItsFile) {
  TTemporaryFolder folder;
  const std::string name = folder.path() + "kept.txt";
  TEditorStatus document = withText("kept");
  ASSERT_TRUE(document.saveToFile(name, true));
  keys(document, "x");
  EXPECT_FALSE(document.loadFromFile(folder.path() + "missing.txt"));
  EXPECT_EQ(document.fileName, name);
  EXPECT_EQ(text(document), "xkept\n");
  EXPECT_FALSE(document.saveToFile(folder.path() + "no\\such\\folder.txt", true));
  EXPECT_TRUE(document.modified);
  EXPECT_EQ(document.fileName, name);
}

TEST(EditorStatusSearch, FindDirectionsAndWholeWords) {
  TEditorStatus document = withText("ab\nxab ab");
  EXPECT_FALSE(document.find("", {}));
  document.setCaret({1, 2});
  ASSERT_TRUE(document.find("ab", {.down = false}));
  EXPECT_EQ(document.getCaret(), (TTextPoint{1, 1}));
  document.setCaret({1, 2});
  ASSERT_TRUE(document.find("AB", {.wholeWord = true}));
  EXPECT_EQ(document.getCaret(), (TTextPoint{7, 2}));
  EXPECT_FALSE(document.find("AB", {.matchCase = true}));
  EXPECT_FALSE(TEditorStatus().find("a", {}));
}

TEST(EditorStatusSearch, ReplaceAllEndsWhenTheReplacementStillMatches) {
  TEditorStatus document = withText("aaa");
  ASSERT_TRUE(document.replace("a", "bb", {.replaceAll = true}));
  EXPECT_EQ(text(document), "bbbbbb\n");
  EXPECT_EQ(document.getCaret(), (TTextPoint{7, 1}));

  document = withText("aaa");
  ASSERT_TRUE(document.replace("a", "aa", {.replaceAll = true}));
  EXPECT_EQ(text(document), "aaaaaa\n");

  document = withText("Buy buy\nbuy");
  document.setSelection({1, 1, 8, 1});
  ASSERT_TRUE(document.replace("Buy", "BUY", {.replaceAll = true}));
  EXPECT_EQ(text(document), "BUY BUY\nbuy\n");
  EXPECT_FALSE(document.replace("", "x", {.replaceAll = true}));
  ASSERT_TRUE(document.undo());
  EXPECT_EQ(text(document), "Buy buy\nbuy\n");

  document = withText("ab ab");
  document.setSelection({1, 1, 6, 1});
  ASSERT_TRUE(document.replace("ab", "abab", {.replaceAll = true}));
  EXPECT_EQ(text(document), "abab abab\n");
  TTextRect selection;
  document.getSelectionOrdered(selection);
  EXPECT_EQ(selection.right, 10);
}

}  // namespace
