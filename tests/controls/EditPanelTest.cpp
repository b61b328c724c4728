#include <gtest/gtest.h>
#include <psapi.h>

#include "controls/EditPanel.h"
#include "controls/PaintBoxEx.h"
#include "controls/ScrollBarEx.h"
#include "platform/Application.h"
#include "platform/FileSystem.h"
#include "platform/Form.h"
#include "tests/support/TestFolders.h"
#include "tests/support/ThreadTime.h"
#include "tests/support/WindowTestSupport.h"

namespace {

TFormOptions formOptions() {
  TFormOptions options;
  options.caption = "Edit panel";
  options.clientWidth = 420;
  options.clientHeight = 260;
  // Other test programs show windows on the same display at the same time:
  // this one keeps above them, where screen copies see it.
  options.stayOnTop = true;
  return options;
}

TFontAttributes font(uint16_t id, TColor colour, unsigned style = 0) {
  TFontAttributes record;
  record.id = id;
  record.colour = colour;
  record.fontName = "Courier New";
  record.size = 10;
  record.style = style;
  return record;
}

// A macro colouring as a script engine gives it: keywords 1, strings 2,
// comments 3, the rest 0.
void colourMacro(const std::string& text, std::vector<uint16_t>& ids) {
  for (size_t i = 0; i < text.size();) {
    size_t end = i + 1;
    uint16_t id = 0;
    if (text[i] == '\'') {
      end = text.find('\r', i);
      id = 3;
    } else if (text[i] == '"') {
      end = text.find('"', i + 1) + 1;
      id = 2;
    } else if (isalpha(static_cast<unsigned char>(text[i]))) {
      while (end < text.size() && isalnum(static_cast<unsigned char>(text[end]))) ++end;
      const std::string word = text.substr(i, end - i);
      id = word == "Function" || word == "End" || word == "If" || word == "Then" || word == "Dim" ? 1 : 0;
    }
    end = std::min(end, text.size());
    std::fill(ids.begin() + i, ids.begin() + end, id);
    i = end;
  }
}

class EditPanelTest : public testing::Test {
 protected:
  void SetUp() override {
    panel.setBounds(10, 10, 400, 240);
    form.setBounds(700, 500, form.width(), form.height());
    form.showModeless();
    pumpFor(20);
  }

  TForm form{formOptions()};
  TEditPanel& panel = form.add<TEditPanel>();
  TEditorStatus document;
  TFontAttributeSets fonts;
};

TEST_F(EditPanelTest, WithoutADocumentEverythingAnswersNothing) {
  TTextPoint caret{5, 5};
  panel.getCaret(caret);
  EXPECT_EQ(caret, (TTextPoint{0, 0}));
  EXPECT_TRUE(panel.isReadOnly());
  EXPECT_EQ(panel.canUndo(), 0);
  EXPECT_FALSE(panel.undo());
  EXPECT_FALSE(panel.insertText("x"));
  EXPECT_FALSE(panel.find("x", {}));
  EXPECT_FALSE(panel.loadFile("C:\\nothing.txt", true));
  panel.setBgColor(clRed);
  EXPECT_EQ(panel.bgColor(), clWindow);
  panel.update();
  EXPECT_EQ(panel.verticalBar().max(), 1);
  EXPECT_EQ(panel.horizontalBar().max(), 1);
  const TScreenImage image = captureClient(panel.paintBox().handle());
  EXPECT_TRUE(image.pixelIs(image.width() / 2, image.height() / 2, clWindow));
}

TEST_F(EditPanelTest, TypingColoursOnceAfterTheBurstAndArrowsPaintAtOnce) {
  int colourings = 0;
  int renders = 0;
  panel.setEditorStatus(&document);
  panel.setFontAttributeSets(&fonts);
  panel.setOnGetTextAttributes([&](const std::string& text, std::vector<uint16_t>& ids) {
    ++colourings;
    colourMacro(text, ids);
  });
  panel.onRender = [&](TEditPanel&) { ++renders; };
  panel.setFocus();
  pumpFor(20);
  colourings = 0;
  for (char c : std::string("Dim a")) SendMessageA(panel.handle(), WM_CHAR, c, 1);
  EXPECT_EQ(colourings, 0);
  EXPECT_TRUE(panel.updatePending());
  ASSERT_TRUE(pumpUntil([&] { return !panel.updatePending(); }, 60000));
  EXPECT_EQ(colourings, 1);
  EXPECT_EQ(panel.attributeIds().size(), 7u);
  EXPECT_EQ(panel.attributeIds()[0], 1);

  renders = 0;
  sendKey(panel.handle(), VK_LEFT);
  EXPECT_EQ(renders, 1);
  EXPECT_EQ(colourings, 1);  // the text did not change: no colouring
  TTextPoint caret;
  panel.getCaret(caret);
  EXPECT_EQ(caret, (TTextPoint{5, 1}));
}

TEST_F(EditPanelTest, WheelScrollsALineANotch) {
  std::string lines;
  for (int i = 1; i <= 100; ++i) lines += "line " + std::to_string(i) + "\n";
  document.insertText(lines);
  document.setCaret({1, 1});
  panel.setEditorStatus(&document);
  SendMessageA(panel.paintBox().handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(50, 50));
  SendMessageA(panel.handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(50, 50));
  EXPECT_EQ(document.topLine(), 3);
  EXPECT_EQ(panel.verticalBar().position(), 3);
  EXPECT_EQ(panel.verticalBar().max(), document.lineCount() + document.visibleLineCount() - 1);
  EXPECT_EQ(document.getCaret().y, 1);
  // The bar moves the text the other way round.
  SendMessageA(panel.handle(), WM_VSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(panel.verticalBar().handle()));
  EXPECT_EQ(document.topLine(), 4);
}

TEST_F(EditPanelTest, FilesThroughThePanel) {
  TTemporaryFolder folder;
  panel.setEditorStatus(&document);
  const std::string created = folder.path() + "notes.txt";
  EXPECT_TRUE(panel.loadFile(created, true));
  EXPECT_TRUE(fileExists(created));
  EXPECT_EQ(readWholeFile(created), "");
  EXPECT_FALSE(panel.loadFile(folder.path() + "other.txt", false));
  EXPECT_FALSE(fileExists(folder.path() + "other.txt"));
  EXPECT_EQ(document.lineCount(), 0);
}

// The picture: a coloured macro source with a mouse selection and a found word.
TEST_F(EditPanelTest, ColouredSourceWithSelectionAndHighlight) {
  fonts.add(font(0, clBlack));
  fonts.add(font(1, RGB(0, 0, 160), fsBold));
  fonts.add(font(2, RGB(160, 0, 0)));
  fonts.add(font(3, RGB(0, 128, 0), fsItalic));
  document.insertText(
      "' Moving average of the close\n"
      "Function Average(days)\n"
      "\tDim total\n"
      "\n"
      "\tIf days > 0 Then total = Price(\"ACME\", days)\n"
      "\tAverage = total / days\n"
      "End Function\n");
  document.setCaret({1, 1});
  panel.setEditorStatus(&document);
  panel.setFontAttributeSets(&fonts);
  panel.setOnGetTextAttributes(colourMacro);
  panel.setFocus();
  pumpFor(20);
  // A drag over "Average(days)" on the second line.
  const std::vector<int>& row = document.widthTables[1];
  const int rowY = document.widthTables[0][0] + 2;
  sendMouse(panel.paintBox().handle(), WM_LBUTTONDOWN, row[10] + 1, rowY, MK_LBUTTON);
  sendMouse(panel.paintBox().handle(), WM_MOUSEMOVE, row[23] + 1, rowY, MK_LBUTTON);
  sendMouse(panel.paintBox().handle(), WM_LBUTTONUP, row[23] + 1, rowY, 0);
  ASSERT_TRUE(pumpUntil([&] { return !panel.updatePending(); }, 60000));
  std::string selected;
  document.getSelectedText(selected);
  EXPECT_EQ(selected, "Average(days)");

  // Searching in the selection: the found word shows with exchanged colours.
  ASSERT_TRUE(panel.find("days", {}));
  EXPECT_EQ(document.getCaret(), (TTextPoint{22, 2}));
  const TScreenImage image = captureClient(panel.paintBox().handle());
  image.savePng("EditPanelColouredSource");
  const int rowTop = document.widthTables[0][0];
  EXPECT_EQ(image.pixel((row[10] + row[11]) / 2, rowTop + 1), rgbOf(clHighlight));
  EXPECT_EQ(image.pixel((row[18] + row[19]) / 2, rowTop + 1), rgbOf(clWhite));
  EXPECT_EQ(image.pixel(row[23] + 2, rowTop + 1), rgbOf(clWindow));
}

// The process's committed private memory (Wine fills this field, not
// PrivateUsage, and keeps no peak).
size_t privateBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PagefileUsage;
}

// A notes file of one line, tens of megabytes long: loading, painting,
// going to its end, a click and typing cost what the view shows, and the
// memory is the text's own (with the undo snapshot typing makes).
TEST_F(EditPanelTest, AOneLineTextOfTensOfMegabytesCostsWhatTheViewShows) {
  TTemporaryFolder folder;
  const std::string file = folder.path() + "notes.txt";
  size_t length = 0;
  {
    std::string text;
    text.reserve(40'000'010);
    while (text.size() < 40'000'000) text += "price\tnote ";
    text += "end";
    length = text.size();
    writeWholeFile(file, text);
  }
  const size_t before = privateBytes();
  const auto start = threadProcessorTime();
  panel.setEditorStatus(&document);
  ASSERT_TRUE(panel.loadFile(file, false));
  panel.setFocus();
  {
    TKeyState ctrl{VK_CONTROL};
    sendKey(panel.handle(), VK_END);
  }
  const int end = static_cast<int>(length) + 1;
  ASSERT_EQ(document.getCaret(), (TTextPoint{end, 1}));
  ASSERT_GT(document.caretHeight, 0);
  EXPECT_GE(document.caretX, 0);
  EXPECT_LT(document.caretX, panel.paintBox().width());
  EXPECT_GE(panel.horizontalBar().max(), document.leftPixel);

  // A click just right of the left edge of the "n" of "end", as painted,
  // puts the caret before it.
  ASSERT_EQ(document.widthTableColumns.size(), document.widthTables.size());
  const std::vector<int>& row = document.widthTables[0];
  const int n = end - 2;
  const size_t boundary = 1 + static_cast<size_t>(n - document.widthTableColumns[0]);
  ASSERT_LT(boundary + 1, row.size());
  const int x = row[boundary] - document.leftPixel + 1;
  sendMouse(panel.paintBox().handle(), WM_LBUTTONDOWN, x, 3, MK_LBUTTON);
  sendMouse(panel.paintBox().handle(), WM_LBUTTONUP, x, 3, 0);
  EXPECT_EQ(document.getCaret(), (TTextPoint{n, 1}));
  EXPECT_EQ(document.caretX, x - 1);
  sendKey(panel.handle(), 'X');
  SendMessageA(panel.handle(), WM_CHAR, 'X', 1);
  ASSERT_TRUE(pumpUntil([&] { return !panel.updatePending(); }, 60000));
  EXPECT_EQ(document.lines[0].substr(length - 3), "eXnd");

  // Paging back through the line and home again.
  for (int page = 0; page < 10; ++page)
    SendMessageA(panel.handle(), WM_HSCROLL, SB_PAGELEFT, reinterpret_cast<LPARAM>(panel.horizontalBar().handle()));
  sendKey(panel.handle(), VK_HOME);
  EXPECT_EQ(document.leftPixel, 0);
  EXPECT_EQ(document.widthTableColumns[0], 1);

  EXPECT_LT((threadProcessorTime() - start).count(), 4.0);
  // The text, the snapshot the first key took, and room for the rest.
  EXPECT_LT(privateBytes(), before + 3 * length);
}

}  // namespace

// Clicks below a text's end as the user makes them, a press and a release,
// then a key typed: the text grows by the key only, on its last line.
TEST_F(EditPanelTest, AClickBelowTheTextMovesTheCaretAndOnlyTypingChangesTheText) {
  panel.setEditorStatus(&document);
  const HWND surface = panel.paintBox().handle();
  const auto clickAndType = [&](int x, int y, char key) {
    sendMouse(surface, WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    sendMouse(surface, WM_LBUTTONUP, x, y);
    pumpFor(20);
    EXPECT_FALSE(document.modified) << "a click changed the text";
    SendMessageA(panel.handle(), WM_CHAR, key, 1);
    std::string text;
    document.getText(true, text);
    return text;
  };
  EXPECT_EQ(clickAndType(60, 150, 'a'), "a\n") << "an empty text";
  document.clear();
  document.insertText("one\ntwo");
  document.modified = false;
  panel.update();
  EXPECT_EQ(clickAndType(300, 150, 'x'), "one\ntwox\n");
  document.modified = false;
  // Below the last line at a column inside it: on the last line there.
  EXPECT_EQ(clickAndType(1, 190, 'y'), "one\nytwox\n");
  TTextPoint caret;
  panel.getCaret(caret);
  EXPECT_EQ(caret, (TTextPoint{2, 2}));
}
