#include "controls/FieldEditForm.h"

#include "controls/EditAsTextForm.h"
#include "controls/ToolGlyphs.h"
#include "controls/FormulaPrompt.h"
#include "controls/GetStringForm.h"
#include "controls/GetThresholdForm.h"
#include "controls/InPlaceEditors.h"
#include "controls/SheetPanel.h"
#include "model/PortableIniFile.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/ExtControls.h"
#include "platform/Menu.h"
#include "platform/Panel.h"
#include "platform/StdControls.h"
#include "platform/ToolTips.h"
#include "sheet/Sheet.h"

namespace {

const char* const layoutSection = "FieldEditor";
constexpr int margin = 8;
const char* const kindNames[] = {"Empty",
                                 "Float",
                                 "String",
                                 "Date",
                                 "Time",
                                 "Integer",
                                 "Boolean",
                                 "Currency",
                                 "Color",
                                 "Image",
                                 "Portfolio name",
                                 "Portfolio symbol",
                                 "Portfolio currency",
                                 "Asset name",
                                 "Asset symbol",
                                 "Asset currency",
                                 "Asset stocks %",
                                 "Asset bonds %",
                                 "Asset cash %",
                                 "Asset other %",
                                 "Transaction number",
                                 "Transaction date",
                                 "Transaction time",
                                 "Transaction units",
                                 "Transaction value",
                                 "Transaction fees",
                                 "Transaction flag",
                                 "Transaction soft"};

TFormOptions fieldEditOptions() {
  TFormOptions options;
  options.caption = "Field definitions";
  options.clientWidth = 785;
  options.clientHeight = 417;
  options.minimizeBox = false;
  return options;
}

TFontProperties propertiesOf(const TFont& font) {
  TFontProperties properties;
  properties.name = font.name();
  properties.size = font.size();
  properties.style = font.style();
  properties.color = font.color();
  return properties;
}

}  // namespace

struct TfieldEditForm::TTools {
  TToolGlyphs glyphs;
  TToolButton* addBtn;
  TToolButton* delBtn;
  TToolButton* upBtn;
  TToolButton* downBtn;
  TToolButton* lockedBtn;
  TToolButton* fontBtn;
  TToolButton* colorBtn;
  TToolButton* decimalsBtn;
  TToolButton* leftAlignBtn;
  TToolButton* rightAlignBtn;
  TToolButton* topAlignBtn;
  TToolButton* bottomAlignBtn;
  TToolButton* hiddenBtn;
  TToolButton* disabledBtn;
  TToolButton* trailBtn;
  TToolButton* fixedBtn;
  TToolButton* editAsTextBtn;
};

TfieldEditForm::TfieldEditForm()
    : TForm(fieldEditOptions()),
      fontDialog(std::make_unique<TFontDialog>()),
      colorDialog(std::make_unique<TColorDialog>()),
      messages(&systemMessageBox()),
      tools_(std::make_unique<TTools>()),
      stringPrompt_(std::make_unique<TgetStringForm>()),
      thresholdPrompt_(std::make_unique<TgetThresholdForm>()) {
  setConstraints(600, 175);
  // The window that opens the editor gives its own topic.
  helpContext = 2110;
  hints_ = std::make_unique<TToolTips>(*this);
  buildMenus();
  buildTools();

  buttonPanel_ = &add<TPanel>();
  buttonPanel_->setBevelOuter(TBevelCut::none);
  buttonPanel_->setAlign(TAlign::bottom);
  buttonPanel_->setSize(clientWidth(), 41);
  helpBtn_ = &buttonPanel_->add<TButton>("&Help");
  applyBtn_ = &buttonPanel_->add<TButton>("&Apply");
  okBtn_ = &buttonPanel_->add<TButton>("&OK");
  helpBtn_->onClick = [this] { application().helpContext(helpContext); };
  applyBtn_->onClick = [this] { apply(); };
  okBtn_->onClick = [this] {
    if (sheetPanel_->editing() && !sheetPanel_->finishEditing(true)) return;
    accepted_ = true;
    setModalResult(mrOk);
  };
  buttonPanel_->onResize = [this] { placeButtons(); };
  // Escape first leaves a cell being edited, then the editor unaccepted.
  keyPreview = true;
  onKeyDown = [this](WORD& key, TShiftState shift) {
    if (key != VK_ESCAPE || (shift & (ssCtrl | ssAlt)) || sheetPanel_->editing()) return;
    key = 0;
    close();
  };

  sheetPanel_ = &add<TSheetPanel>();
  sheetPanel_->setAlign(TAlign::client);
  sheetPanel_->setTabStop(true);
  sheetPanel_->setShowColCoords(false);
  sheetPanel_->setShowRowCoords(false);
  sheetPanel_->setMaxVisibleCol(TFieldEditModel::columnCount);
  sheetPanel_->setFixedRows(1);
  sheetPanel_->setMultiSelect(false);
  sheetPanel_->setDefaultMaxDecimals(2);
  sheetPanel_->setTrueImageIndex(1);
  sheetPanel_->setFalseImageIndex(0);
  sheetPanel_->setGridColor(clBtnFace);
  sheetPanel_->setDefaultColWidth(width() / 4);
  TFontProperties gridFont;
  gridFont.name = font().name();
  gridFont.size = font().size();
  sheetPanel_->setDefaultFont(gridFont);
  sheetPanel_->setDefaultRowHeight(-1);
  sheetPanel_->setPopupMenu(formatPopupMenu_.get());
  sheetPanel_->onRender = [this] { updateTools(); };
  sheetPanel_->onCellValueEdited = [this] { cellValueEdited(); };
  sheetPanel_->onAcceptTypedText = [this](const std::string& text) { return typedTextKept(text); };
  sheetPanel_->onSheetKeyDown = [this](WORD& key, TShiftState shift) { sheetKeyDown(key, shift); };
  editText = [this](std::string& text) {
    return ::editAsText(layoutFile_, languageFile_, textEditorPopupMenu_, text);
  };
  placeButtons();
  realign();
}

TfieldEditForm::~TfieldEditForm() = default;

void TfieldEditForm::buildTools() {
  toolPanel_ = &add<TPanel>();
  toolPanel_->setBevelOuter(TBevelCut::none);
  toolPanel_->setAlign(TAlign::top);
  toolPanel_->setSize(clientWidth(), 30);
  TTools& tools = *tools_;
  int x = margin;
  // The hint is the button's caption too, which names it to screen readers;
  // the picture shows in its place.
  const auto button = [&](TToolButton*& target, const char* glyph, const char* hint, int width = 28) {
    target = &toolPanel_->add<TToolButton>(hint);
    target->setBounds(x, 4, width, 22);
    target->setHint(hint);
    tools.glyphs.apply(*target, glyph);
    x += width + 1;
  };
  button(tools.addBtn, "NEWBMP", "New", 34);
  button(tools.delBtn, "DELBMP", "Delete");
  button(tools.upBtn, "UPBMP", "Move up");
  button(tools.downBtn, "DOWNBMP", "Move down");
  x += 6;
  button(tools.lockedBtn, "READONLYBMP", "Read only");
  button(tools.fontBtn, "FONTSBMP", "Fonts");
  button(tools.colorBtn, "COLORSBMP", "Colors");
  button(tools.decimalsBtn, "DECIMALSBMP", "Max decimals");
  x += 6;
  button(tools.leftAlignBtn, "LEFTALIGNBMP", "Left aligned", 22);
  button(tools.rightAlignBtn, "RIGHTALIGNBMP", "Right aligned", 22);
  button(tools.topAlignBtn, "TOPALIGNBMP", "Top aligned", 22);
  button(tools.bottomAlignBtn, "BOTTOMALIGNBMP", "Bottom aligned", 22);
  x += 6;
  button(tools.hiddenBtn, "HIDDENBMP", "Hidden");
  button(tools.disabledBtn, "DISABLEDBMP", "Disabled");
  button(tools.trailBtn, "TRAILINGBMP", "Trailing text");
  button(tools.fixedBtn, "FIXEDFIELDBMP", "Fixed");
  button(tools.editAsTextBtn, "EDITASTEXTBMP", "Edit as text");
  x += 6;
  fieldFormatBox_ = &toolPanel_->add<TComboBox>(TComboStyle::dropDownList);
  fieldFormatBox_->setBounds(x, 4, 150, 200);
  for (const char* kind : kindNames) fieldFormatBox_->addItem(kind);
  // The list drops with every kind in view: shorter, it opened scrolled to
  // the field's kind and hid Float and the other kinds above it.
  const int itemHeight = static_cast<int>(SendMessageA(fieldFormatBox_->handle(), CB_GETITEMHEIGHT, 0, 0));
  fieldFormatBox_->dropDownHeight = fieldFormatBox_->count() * itemHeight + 2 * GetSystemMetrics(SM_CYBORDER);
  hints_->setHint(*fieldFormatBox_, "Field type");
  fieldFormatBox_->onChange = [this] {
    if (filling_) return;
    const int kind = fieldFormatBox_->itemIndex();
    toggle([kind](TFieldEditModel& model, int index) { return model.setKind(index, kind); });
  };

  tools.addBtn->onClick = [this] { addField(); };
  tools.delBtn->onClick = [this] { deleteField(); };
  tools.upBtn->onClick = [this] { moveField(-1); };
  tools.downBtn->onClick = [this] { moveField(1); };
  tools.lockedBtn->onClick = [this] { toggle([](TFieldEditModel& m, int i) { return m.toggleLocked(i); }); };
  tools.hiddenBtn->onClick = [this] { toggle([](TFieldEditModel& m, int i) { return m.toggleHidden(i); }); };
  tools.disabledBtn->onClick = [this] { toggle([](TFieldEditModel& m, int i) { return m.toggleDisabled(i); }); };
  tools.fixedBtn->onClick = [this] { toggle([](TFieldEditModel& m, int i) { return m.toggleFixed(i); }); };
  const std::pair<TToolButton*, std::uint8_t> alignments[] = {{tools.leftAlignBtn, fieldAlignLeft},
                                                             {tools.rightAlignBtn, fieldAlignRight},
                                                             {tools.topAlignBtn, fieldAlignTop},
                                                             {tools.bottomAlignBtn, fieldAlignBottom}};
  for (const auto& [alignButton, bit] : alignments) {
    const std::uint8_t alignBit = bit;
    alignButton->onClick = [this, alignBit] {
      toggle([alignBit](TFieldEditModel& m, int i) { return m.toggleAlignment(i, alignBit); });
    };
  }
  tools.trailBtn->onClick = [this] { chooseTrail(true); };
  tools.editAsTextBtn->onClick = [this] { editAsText(); };
  tools.fontBtn->onClick = [this] { popupAtButton(*fontPopupMenu_, *tools_->fontBtn); };
  tools.colorBtn->onClick = [this] { popupAtButton(*colorPopupMenu_, *tools_->colorBtn); };
  tools.decimalsBtn->onClick = [this] { popupAtButton(*decimalsPopupMenu_, *tools_->decimalsBtn); };
}

void TfieldEditForm::buildMenus() {
  const auto onField = [this](std::function<bool(TFieldEditModel&, int)> command) {
    return [this, command] { toggle(command); };
  };
  decimalsPopupMenu_ = std::make_unique<TPopupMenu>();
  decimalsPopupMenu_->add("&Pad", onField([](TFieldEditModel& m, int i) { return m.toggleFixedDecimals(i); }));
  for (int decimals = 0; decimals <= 15; ++decimals)
    decimalsPopupMenu_->add(std::to_string(decimals), onField([decimals](TFieldEditModel& m, int i) {
                              return m.setMaxDecimals(i, decimals);
                            })).tag = decimals;
  decimalsPopupMenu_->onPopup = [this] {
    const TField* field = model_ ? model_->fields().items(currentField()) : nullptr;
    const auto& items = decimalsPopupMenu_->items();
    items[0]->checked = field && field->FixedDecimals;
    for (size_t i = 1; i < items.size(); ++i) items[i]->checked = field && field->MaxDecimals == items[i]->tag;
  };

  const auto conditionalMenu = [this](TMenuItem& parent, const char* first, bool fill) {
    TMenuItem& conditional = parent.add("&Conditional");
    conditional.add(first, [this, fill] { fill ? chooseColor(true) : chooseFont(true); });
    conditional.add("&Threshold", [this] { chooseThreshold(); });
    conditional.add("Cl&ear", [this] { toggle([](TFieldEditModel& m, int i) { return m.clearFormat(i, true); }); });
    return &conditional;
  };
  fontPopupMenu_ = std::make_unique<TPopupMenu>();
  fontPopupMenu_->add("&Default", [this] { chooseFont(false); });
  TMenuItem* fontConditional = conditionalMenu(*fontPopupMenu_, "&Font", false);
  colorPopupMenu_ = std::make_unique<TPopupMenu>();
  colorPopupMenu_->add("&Default", [this] { chooseColor(false); });
  TMenuItem* colorConditional = conditionalMenu(*colorPopupMenu_, "&Color", true);
  for (auto [menu, conditional] : {std::pair{fontPopupMenu_.get(), fontConditional},
                                   std::pair{colorPopupMenu_.get(), colorConditional}}) {
    TMenuItem* conditionalItem = conditional;
    TPopupMenu* popup = menu;
    menu->onPopup = [this, popup, conditionalItem] {
      const TFieldToolState state = model_ ? model_->toolState(currentField()) : TFieldToolState{};
      popup->items()[0]->enabled = state.editEnabled;
      conditionalItem->enabled = state.conditionalEnabled;
    };
  }

  formatPopupMenu_ = std::make_unique<TPopupMenu>();
  TPopupMenu& format = *formatPopupMenu_;
  format.add("&Disabled", onField([](TFieldEditModel& m, int i) { return m.toggleDisabled(i); }));
  format.add("&Hidden", onField([](TFieldEditModel& m, int i) { return m.toggleHidden(i); }));
  TMenuItem& alignment = format.add("&Alignment");
  alignment.add("&Left", onField([](TFieldEditModel& m, int i) { return m.toggleAlignment(i, fieldAlignLeft); }));
  alignment.add("&Right", onField([](TFieldEditModel& m, int i) { return m.toggleAlignment(i, fieldAlignRight); }));
  alignment.add("&Top", onField([](TFieldEditModel& m, int i) { return m.toggleAlignment(i, fieldAlignTop); }));
  alignment.add("&Bottom", onField([](TFieldEditModel& m, int i) { return m.toggleAlignment(i, fieldAlignBottom); }));
  TMenuItem& decimals = format.add("D&ecimals");
  decimals.add("&Pad", onField([](TFieldEditModel& m, int i) { return m.toggleFixedDecimals(i); }));
  for (int n = 0; n <= 15; ++n)
    decimals.add(std::to_string(n), onField([n](TFieldEditModel& m, int i) { return m.setMaxDecimals(i, n); })).tag = n;
  TMenuItem& defaults = format.add("De&fault");
  defaults.add("&Font...", [this] { chooseFont(false); });
  defaults.add("&Background...", [this] { chooseColor(false); });
  defaults.add("&Clear", onField([](TFieldEditModel& m, int i) { return m.clearFormat(i, false); }));
  TMenuItem& conditional = format.add("&Conditional");
  conditional.add("&Font...", [this] { chooseFont(true); });
  conditional.add("&Background...", [this] { chooseColor(true); });
  conditional.add("&Threshold...", [this] { chooseThreshold(); });
  conditional.add("&Clear", onField([](TFieldEditModel& m, int i) { return m.clearFormat(i, true); }));
  format.add("Trailing text...", [this] { chooseTrail(false); });
  format.add("Fi&xed", onField([](TFieldEditModel& m, int i) { return m.toggleFixed(i); }));
  format.add("&Read only", onField([](TFieldEditModel& m, int i) { return m.toggleLocked(i); }));
  format.onPopup = [this] {
    const int index = currentField();
    const TFieldToolState state = model_ ? model_->toolState(index) : TFieldToolState{};
    const TField* field = model_ ? model_->fields().items(index) : nullptr;
    const auto& items = formatPopupMenu_->items();
    for (const auto& item : items) item->enabled = state.editEnabled;
    items[0]->checked = state.disabledDown;
    items[1]->checked = state.hiddenDown;
    items[1]->enabled = state.hiddenEnabled;
    const auto& alignItems = items[2]->items();
    alignItems[0]->checked = state.leftDown;
    alignItems[1]->checked = state.rightDown;
    alignItems[2]->checked = state.topDown;
    alignItems[3]->checked = state.bottomDown;
    items[3]->enabled = state.decimalsEnabled;
    const auto& decimalItems = items[3]->items();
    decimalItems[0]->checked = field && field->FixedDecimals;
    for (size_t i = 1; i < decimalItems.size(); ++i)
      decimalItems[i]->checked = field && field->MaxDecimals == decimalItems[i]->tag;
    items[5]->enabled = state.conditionalEnabled;
    items[6]->enabled = state.trailEnabled;
    items[7]->enabled = state.fieldRow;  // Fixed needs no editable definition
    items[7]->checked = state.fixedDown;
    items[8]->checked = state.lockedDown;
  };
}

int TfieldEditForm::currentField() const {
  if (!model_) return -1;
  const int index = sheetPanel_->sheet().currentRow - 2;
  return index >= 0 && index < model_->count() ? index : -1;
}

bool TfieldEditForm::execute(TFieldTable& fieldTable, std::function<void()> applyCallback) {
  accepted_ = false;
  callerTable_ = &fieldTable;
  applyCallback_ = std::move(applyCallback);
  {
    THourglass hourglass;
    model_ = std::make_unique<TFieldEditModel>(fieldTable);
    TSheet& sheet = sheetPanel_->sheet();
    sheet.currentCol = 1;
    sheet.currentRow = 2;
    fillGrid();
  }
  applyBtn_->setEnabled(applyCallback_ != nullptr);
  onShow = [this] { sheetPanel_->setFocus(); };
  // The modal loop waits for messages rather than polling them; a quit ends
  // it (the editor closes unaccepted) and is posted again for the program's
  // own loop.
  if (showModal() != mrOk) accepted_ = false;
  sheetPanel_->finishEditing(false);
  for (int index = 0; index < model_->count(); ++index)
    model_->fields().items(index)->EditorRowHeight = sheetPanel_->getRowHeight(index + 2);
  if (accepted_) model_->applyTo(fieldTable);
  model_.reset();
  callerTable_ = nullptr;
  applyCallback_ = nullptr;
  return accepted_;
}

void TfieldEditForm::apply() {
  if (!applyCallback_ || !model_ || !callerTable_) return;
  if (sheetPanel_->editing() && !sheetPanel_->finishEditing(true)) return;
  THourglass hourglass;
  model_->applyTo(*callerTable_);
  applyCallback_();
}

void TfieldEditForm::fillGrid() {
  if (!model_ || filling_) return;
  filling_ = true;
  // An open cell editor belongs to the cells about to go: its text is taken
  // first, or dropped when the sheet refuses it.
  if (sheetPanel_->editing() && !sheetPanel_->finishEditing(true)) sheetPanel_->finishEditing(false);
  TSheet& sheet = sheetPanel_->sheet();
  model_->fillSheet(sheet);
  sheetPanel_->setMaxVisibleRow(model_->count() + 1);
  sheetPanel_->setMaxVisibleCol(TFieldEditModel::columnCount);
  filling_ = false;
  sheetPanel_->refresh();
}

void TfieldEditForm::setCurrentRow(int row) {
  TSheet& sheet = sheetPanel_->sheet();
  sheet.currentRow = std::max(2, std::min(row, model_->count() + 1));
  if (sheet.currentCol < 1) sheet.currentCol = 1;
}

void TfieldEditForm::updateTools() {
  if (!model_) return;
  const TFieldToolState state = model_->toolState(currentField());
  TTools& tools = *tools_;
  tools.delBtn->setEnabled(state.deleteEnabled);
  tools.upBtn->setEnabled(state.upEnabled);
  tools.downBtn->setEnabled(state.downEnabled);
  filling_ = true;
  fieldFormatBox_->setItemIndex(state.fieldRow ? state.kind : -1);
  filling_ = false;
  fieldFormatBox_->setEnabled(state.editEnabled);
  for (TToolButton* button : {tools.disabledBtn, tools.leftAlignBtn, tools.rightAlignBtn, tools.topAlignBtn,
                              tools.bottomAlignBtn, tools.fontBtn, tools.colorBtn, tools.lockedBtn})
    button->setEnabled(state.editEnabled);
  tools.hiddenBtn->setEnabled(state.hiddenEnabled);
  tools.decimalsBtn->setEnabled(state.decimalsEnabled);
  tools.trailBtn->setEnabled(state.trailEnabled);
  tools.fixedBtn->setEnabled(state.fieldRow);
  tools.disabledBtn->setDown(state.disabledDown);
  tools.hiddenBtn->setDown(state.hiddenDown);
  tools.leftAlignBtn->setDown(state.leftDown);
  tools.rightAlignBtn->setDown(state.rightDown);
  tools.topAlignBtn->setDown(state.topDown);
  tools.bottomAlignBtn->setDown(state.bottomDown);
  tools.fixedBtn->setDown(state.fixedDown);
  tools.lockedBtn->setDown(state.lockedDown);
}

void TfieldEditForm::cellValueEdited() {
  if (!model_ || filling_) return;
  const TSheet& sheet = sheetPanel_->sheet();
  const int index = currentField();
  const TCell* cell = sheet.getCell(sheet.currentCol, sheet.currentRow);
  const std::string text = cell ? cell->getEditText() : std::string();
  std::string stored;
  if (index >= 0) model_->editCell(index, sheet.currentCol, text, stored);
  // Refilled either way: the stored text shows, or a refused edit is undone.
  fillGrid();
}

bool TfieldEditForm::typedTextKept(const std::string& text) {
  // A definition that would show an error in every cell of its field is only
  // taken when the user wants it so; else the editor stays on what was typed.
  const int index = currentField();
  if (index < 0 || sheetPanel_->sheet().currentCol != TFieldEditModel::definitionColumn ||
      !model_->toolState(index).editEnabled)
    return true;
  return keepTypedFormula(*messages, handle(), "Field definitions", sheetPanel_->sheet(), text);
}


void TfieldEditForm::sheetKeyDown(WORD& key, TShiftState shift) {
  if (key == VK_INSERT && !(shift & (ssCtrl | ssAlt | ssShift))) {
    addField();
    key = 0;
  } else if (key == VK_DELETE && (shift & ssCtrl)) {
    deleteField();
    key = 0;
  }
}

void TfieldEditForm::addField() {
  if (!model_) return;
  std::string separator = sheetPanel_->getDecimalSeparator();
  if (separator.empty()) separator.push_back('.');
  const int added = model_->newField(currentField(), separator);
  setCurrentRow(added + 2);
  fillGrid();
}

void TfieldEditForm::deleteField() {
  if (!model_ || !model_->deleteField(currentField())) return;
  setCurrentRow(sheetPanel_->sheet().currentRow);
  fillGrid();
}

void TfieldEditForm::moveField(int step) {
  const int index = currentField();
  if (!model_ || index < 0) return;
  const bool moved = step < 0 ? model_->moveUp(index) : model_->moveDown(index);
  if (moved) setCurrentRow(index + step + 2);
  fillGrid();
}

void TfieldEditForm::toggle(const std::function<bool(TFieldEditModel&, int)>& command) {
  const int index = currentField();
  if (!model_ || index < 0) return;
  if (command(*model_, index)) fillGrid();
}

void TfieldEditForm::editAsText() {
  if (!model_ || !editText) return;
  std::string text = model_->asText();
  if (!editText(text)) return;
  std::string message;
  if (!model_->fromText(text, message)) {
    messages->show(handle(), message, "Field definitions", MB_OK | MB_ICONWARNING);
    return;
  }
  setCurrentRow(sheetPanel_->sheet().currentRow);
  fillGrid();
}

void TfieldEditForm::chooseTrail(bool atButton) {
  const int index = currentField();
  if (!model_ || !model_->editable(index)) return;
  std::string trail = model_->fields().items(index)->Trail;
  RECT workArea{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
  const SIZE size{stringPrompt_->width(), stringPrompt_->height()};
  POINT position;
  if (atButton) {
    RECT at = tools_->trailBtn->bounds();
    MapWindowPoints(toolPanel_->handle(), nullptr, reinterpret_cast<POINT*>(&at), 2);
    position = placeKeptOn(workArea, size, {at.left, at.bottom});
  } else {
    position = placeCentredOn(workArea, size);
  }
  if (stringPrompt_->execute(position, "Trailing text", trail) && model_->setTrail(index, trail)) fillGrid();
}

void TfieldEditForm::chooseFont(bool conditional) {
  const int index = currentField();
  if (!model_ || !model_->editable(index)) return;
  const TField& field = *model_->fields().items(index);
  TFontProperties properties = sheetPanel_->defaultFont();
  const TFontAndFillProps& format = conditional ? *field.ConditionalFormat : *field.Format;
  if (format.Enabled) format.applyToFont(properties);
  TFont chosen = fontOf(properties);
  if (!fontDialog->execute(handle(), chosen)) return;
  TFontProperties result = propertiesOf(chosen);
  result.charSet = properties.charSet;
  result.pitch = properties.pitch;
  if (model_->setFormatFont(index, conditional, result)) fillGrid();
}

void TfieldEditForm::chooseColor(bool conditional) {
  const int index = currentField();
  if (!model_ || !model_->editable(index)) return;
  const TField& field = *model_->fields().items(index);
  const TFontAndFillProps& format = conditional ? *field.ConditionalFormat : *field.Format;
  TColor color = format.Enabled ? format.FillColor : sheetPanel_->defaultFillColor();
  if (colorDialog->execute(handle(), color) && model_->setFormatFill(index, conditional, color)) fillGrid();
}

void TfieldEditForm::chooseThreshold() {
  const int index = currentField();
  if (!model_ || !model_->editable(index)) return;
  const TField& field = *model_->fields().items(index);
  double threshold = field.ConditionalFormat->Threshold;
  bool above = field.ConditionalFormat->IfAboveThreshold;
  if (thresholdPrompt_->execute(threshold, above, field.Kind) && model_->setThreshold(index, above, threshold))
    fillGrid();
}

void TfieldEditForm::popupAtButton(TPopupMenu& menu, TControl& button) {
  RECT at = button.bounds();
  MapWindowPoints(button.parent()->handle(), nullptr, reinterpret_cast<POINT*>(&at), 2);
  if (menu.onPopup) menu.onPopup();
  menu.popup(handle(), at.left, at.bottom);
}

void TfieldEditForm::placeButtons() {
  const int width = (buttonPanel_->clientWidth() - 6 * margin) / 3;
  helpBtn_->setBounds(margin, margin, width, 25);
  applyBtn_->setBounds((buttonPanel_->clientWidth() - width) / 2, margin, width, 25);
  okBtn_->setBounds(buttonPanel_->clientWidth() - margin - width, margin, width, 25);
}

void TfieldEditForm::loadGUIoptions(const std::string& fileName) {
  layoutFile_ = fileName;
  const TPortableIniFile ini(fileName);
  RECT workArea{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
  const int formWidth = ini.readInteger(layoutSection, "Width", width());
  const int formHeight = ini.readInteger(layoutSection, "Height", height());
  const int left = ini.readInteger(layoutSection, "Left", (workArea.left + workArea.right - formWidth) / 2);
  const int top = ini.readInteger(layoutSection, "Top", (workArea.top + workArea.bottom - formHeight) / 2);
  setBounds(left, top, formWidth, formHeight);
  for (int column = 1; column <= TFieldEditModel::columnCount; ++column)
    sheetPanel_->setColWidth(column, ini.readInteger(layoutSection, "ColWidth" + std::to_string(column),
                                                     sheetPanel_->getColWidth(column)));
  sheetPanel_->sheet().setRowHeight(1, ini.readInteger(layoutSection, "FixedHeight", sheetPanel_->getRowHeight(1)));
  // A place the file spells so that it reads as none stays as spelled
  // until the user moves the window.
  // The rest of the file, the other windows' layout, is known too: the
  // save of this part checks all of it.
  savedGUIoptions_.takeWithTheRest(fileName, [this](TPortableIniFile& file) { writeGUIoptions(file); }, ini);
}

void TfieldEditForm::saveGUIoptions(const std::string& fileName) {
  layoutFile_ = fileName;
  savedGUIoptions_.save(fileName, [this](TPortableIniFile& ini) { writeGUIoptions(ini); });
}

void TfieldEditForm::writeGUIoptions(TPortableIniFile& ini) const {
  const RECT at = bounds();
  ini.writeInteger(layoutSection, "Left", at.left);
  ini.writeInteger(layoutSection, "Top", at.top);
  ini.writeInteger(layoutSection, "Width", at.right - at.left);
  ini.writeInteger(layoutSection, "Height", at.bottom - at.top);
  for (int column = 1; column <= TFieldEditModel::columnCount; ++column)
    ini.writeInteger(layoutSection, "ColWidth" + std::to_string(column), sheetPanel_->getColWidth(column));
  ini.writeInteger(layoutSection, "FixedHeight", sheetPanel_->getRowHeight(1));
}

void TfieldEditForm::loadTranslations(const std::string& languageFile) {
  languageFile_ = languageFile;
  stringPrompt_->loadTranslations(languageFile);
}

void TfieldEditForm::setCurrPickForm(TCurrencyPicker* picker) { sheetPanel_->currencyPicker = picker; }

void TfieldEditForm::setSheetImageList(HIMAGELIST images) { sheetPanel_->setImageList(images); }
