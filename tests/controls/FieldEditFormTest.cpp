#include <gtest/gtest.h>

#include "controls/FieldEditForm.h"
#include "controls/GetStringForm.h"
#include "controls/SheetPanel.h"
#include "model/PortableIniFile.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/StdControls.h"
#include "platform/Timer.h"
#include "sheet/Sheet.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TestFolders.h"
#include "tests/support/ToolButtonPictures.h"
#include "tests/support/WindowTestSupport.h"

namespace {

TFieldTable sampleTable() {
  TFieldTable table;
  const char* symbols[] = {"NAME", "UNITS", "PRICE", "VALUE"};
  const std::uint8_t kinds[] = {13, 23, 1, 1};
  for (int i = 0; i < 4; ++i) {
    table.insertField(i);
    TField& field = *table.items(i);
    field.setSymbol(symbols[i]);
    field.setHeader(symbols[i]);
    field.Kind = kinds[i];
    field.Locked = i != 1;
    field.EditableDefinition = i > 0;
    field.setTestContent(i == 0 ? "Acme" : "1234.5678");
  }
  table.items(3)->Content = "UNITS*PRICE";
  table.items(2)->Hidden = true;
  return table;
}

}  // namespace

TEST(FieldEditForm, ApplyWritesBackAndCallsOnceWhileOkEndsTheEdit) {
  TfieldEditForm form;
  TFieldTable table = sampleTable();
  int applied = 0;
  int countAtApply = 0;
  bool deleteEnabledOnProtected = true;
  TModalDriver driver(form, {[&] {
                        deleteEnabledOnProtected = form.model()->toolState(form.currentField()).deleteEnabled;
                        form.sheetPanel().sheet().currentRow = 5;
                        form.addField();
                        form.applyBtn().performClick();
                        countAtApply = table.count();
                        pumpFor(100);
                        captureWindow(form.handle()).savePng("field-editor");
                        expectPictureButtons(form,
                                             {"New", "Delete", "Move up", "Move down", "Read only", "Fonts",
                                              "Colors", "Max decimals", "Left aligned", "Right aligned",
                                              "Top aligned", "Bottom aligned", "Hidden", "Disabled",
                                              "Trailing text", "Fixed", "Edit as text"},
                                             "field-editor-buttons");
                      },
                      [&] { form.okBtn().performClick(); }});
  EXPECT_TRUE(form.execute(table, [&] { ++applied; }));
  EXPECT_FALSE(driver.timedOut());
  EXPECT_FALSE(deleteEnabledOnProtected);
  EXPECT_EQ(applied, 1);
  EXPECT_EQ(countAtApply, 5);
  ASSERT_EQ(table.count(), 5);
  EXPECT_EQ(table.items(4)->TestContent.substr(0, 7), "100000.");
}

TEST(FieldEditForm, AQuitClosesTheEditorAndGoesOnToTheProgramsLoop) {
  TfieldEditForm form;
  TFieldTable table = sampleTable();
  TModalDriver driver(form, {[&] {
    form.addField();
    PostQuitMessage(3);
  }});
  EXPECT_FALSE(form.execute(table, nullptr));
  EXPECT_FALSE(form.visible());
  EXPECT_EQ(table.count(), 4);
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 3u);
}

TEST(FieldEditForm, EscapeLeavesACellBeingEditedFirstAndThenTheEditorUnaccepted) {
  TfieldEditForm form;
  TFieldTable table = sampleTable();
  bool stillEditing = true;
  bool openAfterFirstEscape = false;
  TModalDriver driver(form, {[&] {
                               form.sheetPanel().setFocus();
                               form.sheetPanel().sheet().currentRow = 3;
                               form.sheetPanel().sheet().currentCol = 2;
                               form.sheetPanel().startEditing("changed");
                               ASSERT_TRUE(form.sheetPanel().editing());
                               postKey(GetFocus(), VK_ESCAPE);
                               pumpFor(100);
                               stillEditing = form.sheetPanel().editing();
                               openAfterFirstEscape = form.visible();
                             },
                             [&] { postKey(GetFocus(), VK_ESCAPE); }});
  EXPECT_FALSE(form.execute(table, nullptr));
  EXPECT_FALSE(driver.timedOut());
  EXPECT_FALSE(stillEditing);
  EXPECT_TRUE(openAfterFirstEscape);
}

TEST(FieldEditForm, AltOAcceptsTheEditFromTheGrid) {
  TfieldEditForm form;
  TFieldTable table = sampleTable();
  TModalDriver driver(form, {[&] {
    form.sheetPanel().setFocus();
    PostMessageA(form.sheetPanel().handle(), WM_SYSCHAR, 'o', 1 << 29);
  }});
  EXPECT_TRUE(form.execute(table, nullptr));
  EXPECT_FALSE(driver.timedOut());
}

// A definition that every cell of its field would show as an error is taken
// only when the user says so: "1+" must not pass for the one-operand "+".
TEST(FieldEditForm, AnIncompleteDefinitionIsTakenOnlyWhenTheUserKeepsIt) {
  TfieldEditForm form;
  TScriptedMessageBox messages(IDNO);
  form.messages = &messages;
  TFieldTable table = sampleTable();
  // Typed over the stored text in the cell's editor, then Enter.
  const auto typeDefinition = [&](const std::string& text) {
    TSheetPanel& grid = form.sheetPanel();
    grid.sheet().setCurrentCell(TFieldEditModel::definitionColumn, 5);  // the field VALUE
    grid.startEditing("");
    const HWND editor = grid.textEditor().handle();
    SendMessageA(editor, EM_SETSEL, 0, -1);
    for (const char c : text) postChar(editor, c);
    sendKey(editor, VK_RETURN);
    return form.model()->fields().items(3)->Content;
  };
  std::string refused, kept, complete, leftToCorrect;
  TModalDriver driver(form, {[&] {
                        refused = typeDefinition("=UNITS*PRICE+");
                        leftToCorrect = form.sheetPanel().editing() ? form.sheetPanel().textEditor().text() : "";
                        sendKey(form.sheetPanel().textEditor().handle(), VK_ESCAPE);
                        complete = typeDefinition("UNITS*-PRICE");
                        messages.answer = IDYES;
                        kept = typeDefinition("UNITS*");
                      },
                      [&] { form.okBtn().performClick(); }});
  EXPECT_TRUE(form.execute(table, nullptr));
  EXPECT_EQ(refused, "UNITS*PRICE");
  EXPECT_EQ(leftToCorrect, "=UNITS*PRICE+");
  EXPECT_EQ(complete, "UNITS*-PRICE");
  EXPECT_EQ(kept, "UNITS*");
  ASSERT_EQ(messages.texts.size(), 2u);
  EXPECT_NE(messages.texts[0].find("#OP?"), std::string::npos) << messages.texts[0];
  EXPECT_EQ(table.items(3)->Content, "UNITS*");
}

namespace {

// The bounds of the trailing-text prompt once it shows; it is then closed.
std::unique_ptr<TTimer> promptBoundsWhenShown(RECT& bounds) {
  auto timer = std::make_unique<TTimer>(30);
  TTimer* self = timer.get();
  timer->onTimer = [self, &bounds] {
    auto* prompt = dynamic_cast<TgetStringForm*>(TControl::fromHandle(GetActiveWindow()));
    if (!prompt || !prompt->modal()) return;
    self->setEnabled(false);
    bounds = prompt->bounds();
    prompt->close();
  };
  timer->setEnabled(true);
  return timer;
}

}  // namespace

TEST(FieldEditForm, TheTrailingTextPromptIsCentredFromTheMenuAndKeptOnScreenFromTheButton) {
  TfieldEditForm form;
  TFieldTable table = sampleTable();
  RECT workArea{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
  RECT fromMenu{}, fromButton{};
  TModalDriver driver(form, {[&] {
                        form.sheetPanel().sheet().currentRow = 3;
                        auto watch = promptBoundsWhenShown(fromMenu);
                        form.chooseTrail(false);
                      },
                      [&] {
                        // The button sits near the form's top left corner:
                        // the form goes to the bottom right of the screen.
                        form.setBounds(workArea.right - 60, workArea.bottom - 40, form.width(), form.height());
                        auto watch = promptBoundsWhenShown(fromButton);
                        form.chooseTrail(true);
                      },
                      [&] { form.okBtn().performClick(); }});
  form.execute(table, nullptr);
  EXPECT_FALSE(driver.timedOut());
  ASSERT_GT(fromMenu.right, fromMenu.left);
  EXPECT_NEAR((fromMenu.left + fromMenu.right) / 2, (workArea.left + workArea.right) / 2, 1);
  EXPECT_NEAR((fromMenu.top + fromMenu.bottom) / 2, (workArea.top + workArea.bottom) / 2, 1);
  ASSERT_GT(fromButton.right, fromButton.left);
  EXPECT_LE(fromButton.right, workArea.right);
  EXPECT_LE(fromButton.bottom, workArea.bottom);
  EXPECT_GE(fromButton.left, workArea.left);
}

// "No" to keeping a definition leaves the user in the cell's editor with what
// was typed: keys as the user presses them, from the grid.
TEST(FieldEditForm, NoToAnIncompleteDefinitionLeavesItInTheEditorToCorrect) {
  TfieldEditForm form;
  TScriptedMessageBox messages(IDNO);
  form.messages = &messages;
  TFieldTable table = sampleTable();
  bool editingAfterNo = false;
  std::string textAfterNo, storedAfterNo;
  TModalDriver driver(form, {[&] {
                        TSheetPanel& grid = form.sheetPanel();
                        grid.setFocus();
                        grid.sheet().setCurrentCell(TFieldEditModel::definitionColumn, 3);  // UNITS, no definition
                        postChar(grid.handle(), 'P');
                        const HWND editor = grid.textEditor().handle();
                        for (const char c : std::string("RICE*")) postChar(editor, c);
                        postKey(editor, VK_RETURN);
                        editingAfterNo = grid.editing() && GetFocus() == editor;
                        textAfterNo = grid.textEditor().text();
                        storedAfterNo = form.model()->fields().items(1)->Content;
                        postChar(editor, '2');
                        postKey(editor, VK_RETURN);
                      },
                      [&] { form.okBtn().performClick(); }});
  EXPECT_TRUE(form.execute(table, nullptr));
  EXPECT_FALSE(driver.timedOut());
  EXPECT_TRUE(editingAfterNo);
  EXPECT_EQ(textAfterNo, "PRICE*");
  EXPECT_EQ(storedAfterNo, "");
  EXPECT_EQ(messages.texts.size(), 1u);
  EXPECT_EQ(table.items(1)->Content, "PRICE*2");
}

// The field-kind list, dropped by a click as the user does it on a field of
// a kind far down the list, shows every kind: none is scrolled out of view.
TEST(FieldEditForm, TheFieldKindListShowsEveryKindWhenItDrops) {
  TfieldEditForm form;
  TFieldTable table = sampleTable();
  table.items(1)->Kind = 21;  // a transaction date, far below Float
  int items = 0, shown = 0, top = -1;
  TModalDriver driver(form, {[&] {
                               TComboBox& kinds = form.fieldFormatBox();
                               form.sheetPanel().sheet().setCurrentCell(1, 3);  // UNITS, editable
                               form.sheetPanel().refresh();
                               ASSERT_TRUE(pumpUntil([&] { return kinds.itemIndex() == 21; })) << kinds.itemIndex();
                               sendMouse(kinds.handle(), WM_LBUTTONDOWN, 20, 8, MK_LBUTTON);
                               sendMouse(kinds.handle(), WM_LBUTTONUP, 20, 8);
                               COMBOBOXINFO info{};
                               info.cbSize = sizeof info;
                               ASSERT_TRUE(GetComboBoxInfo(kinds.handle(), &info));
                               ASSERT_TRUE(pumpUntil([&] { return IsWindowVisible(info.hwndList) != FALSE; }));
                               RECT list{};
                               GetClientRect(info.hwndList, &list);
                               items = kinds.count();
                               shown = list.bottom / static_cast<int>(SendMessageA(info.hwndList, LB_GETITEMHEIGHT, 0, 0));
                               top = static_cast<int>(SendMessageA(info.hwndList, LB_GETTOPINDEX, 0, 0));
                               SendMessageA(kinds.handle(), CB_SHOWDROPDOWN, FALSE, 0);
                             },
                             [&] { form.okBtn().performClick(); }});
  form.execute(table, nullptr);
  EXPECT_FALSE(driver.timedOut());
  EXPECT_EQ(items, 28);
  EXPECT_GE(shown, items);
  EXPECT_EQ(top, 0);
}

// A place the file spells so that it reads as none was written over with
// where the editor stood after a mere load and close: it stays until the
// user moves the editor.
TEST(FieldEditForm, APlaceThatDoesNotReadStaysUntilTheEditorIsMoved) {
  TTemporaryFolder folder;
  const std::string options = folder.path() + "GUIoptions.INI";
  writeWholeFile(options, "[FieldEditor]\r\nLeft=9223372036854775808\r\nTop=30\r\n");
  TfieldEditForm form;
  form.loadGUIoptions(options);
  form.saveGUIoptions(options);
  EXPECT_EQ(TPortableIniFile(options).readString("FieldEditor", "Left", ""), "9223372036854775808");
  form.setBounds(25, 30, form.width(), form.height());
  form.saveGUIoptions(options);
  EXPECT_EQ(TPortableIniFile(options).readInteger("FieldEditor", "Left", 0), 25);
}
