#include "chart/SourceEditorForm.h"

#include <algorithm>

#include "controls/EditAsTextForm.h"
#include "controls/FormulaPrompt.h"
#include "controls/SheetPanel.h"
#include "model/DeletionRefusal.h"
#include "model/LanguageStrings.h"
#include "model/PortableIniFile.h"
#include "platform/Application.h"
#include "platform/ImageList.h"
#include "platform/ListView.h"
#include "platform/LocaleSettings.h"
#include "platform/PageControl.h"
#include "platform/Panel.h"
#include "platform/StdControls.h"
#include "platform/ToolTips.h"
#include "sheet/Sheet.h"

namespace {

TFormOptions editorOptions() {
  TFormOptions options;
  options.caption = "Data sources";
  options.clientWidth = 760;
  options.clientHeight = 520;
  return options;
}

const char* const kindNames[] = {"Free",        "Portfolios: all", "Portfolio: selected",
                                 "Portfolio: by symbol", "Portfolio: by name", "Assets: all",
                                 "Asset: selected", "Asset: by symbol",  "Asset: by name"};

TTabSheet& addPage(TPageControl& pages, const std::string& caption) {
  return pages.own(std::make_unique<TTabSheet>(&pages, caption));
}

TButton& button(TControl& parent, const std::string& caption, int left, int top, int width,
                std::function<void()> action) {
  TButton& result = parent.add<TButton>(caption);
  result.setBounds(left, top, width, 24);
  result.onClick = std::move(action);
  return result;
}

// A tool button named by its hint, its picture in place of its caption.
TButton& toolButton(TControl& parent, TToolGlyphs& glyphs, TToolTips& hints, const char* hint, const char* glyph,
                    int& left, std::function<void()> action) {
  TButton& made = glyphs.pictureButton(parent, hints, hint, hint, glyph, left, 3);
  made.onClick = std::move(action);
  return made;
}

// The room between two groups of tool buttons.
constexpr int groupGap = 6;

void setupSheet(TSheetPanel& panel, int columns, int decimals) {
  panel.setFixedRows(1);
  panel.setShowColCoords(false);
  panel.setShowRowCoords(false);
  panel.setColsSizable(true);
  panel.setRowsSizable(true);
  panel.setMultiSelect(false);
  panel.setDefaultMaxDecimals(decimals);
  panel.setMaxVisibleCol(columns);
}

}  // namespace

TSourceEditorForm::TSourceEditorForm(bool chart, const std::string& dataFolder, int helpContext)
    : TForm(editorOptions()),
      model_(chart ? TChartSource::create : TSource::create, dataFolder,
             chart ? "ChartSourceTemplate" : "GraphSourceTemplate"),
      chart_(chart) {
  this->helpContext = helpContext;
  name = chart ? "ChartSourceEditor" : "GraphSourceEditor";
  colorDialog = std::make_unique<TColorDialog>();
  messages = &systemMessageBox();
  hints_ = std::make_unique<TToolTips>(*this);
  model_.decimalSeparator = localeSettings().decimalSeparator;
  model_.listSeparator = localeSettings().listSeparator;

  TPanel& bottom = add<TPanel>();
  bottom.setAlign(TAlign::bottom);
  bottom.setBounds(0, 0, clientWidth(), 36);
  okBtn_ = &button(bottom, "&OK", 0, 6, 100, [this] { okBtnClick(); });
  applyBtn_ = &button(bottom, "&Apply", 0, 6, 100, [this] { applyBtnClick(); });
  helpBtn_ = &button(bottom, "&Help", 8, 6, 100, [this] {
    application().helpContext(this->helpContext);
  });
  bottom.onResize = [this] { layoutButtons(); };

  if (!chart) {
    TPanel& top = add<TPanel>();
    top.setAlign(TAlign::top);
    top.setBounds(0, 0, clientWidth(), 30);
    const char* captions[] = {"FROM_X", "TO_X", "STEPS"};
    TEdit** edits[] = {&fromXEdit_, &toXEdit_, &xStepsEdit_};
    for (int i = 0; i < 3; ++i) {
      TLabel& label = top.add<TLabel>(captions[i]);
      label.setBounds(8 + i * 250, 8, 56, 16);
      *edits[i] = &top.add<TEdit>();
      (*edits[i])->setBounds(64 + i * 250, 4, 180, 22);
    }
  }

  pages_ = &add<TPageControl>();
  pages_->setAlign(TAlign::client);
  buildSourcesPage(addPage(*pages_, "Output"));
  buildEntryPage(addPage(*pages_, "Symbols"), false);
  buildEntryPage(addPage(*pages_, "Parameters"), true);
  pages_->setActivePageIndex(0);
  onClose = [this] { hide(); };
  onResize = [this] { layoutButtons(); };
  layoutButtons();
  buildMenus();
}

TSourceEditorForm::~TSourceEditorForm() = default;

TEdit& TSourceEditorForm::formulaEdit(TControl& parent, const std::string& caption, int top, int width) {
  TLabel& label = parent.add<TLabel>(caption);
  label.setBounds(4, top + 3, 60, 16);
  TEdit& edit = parent.add<TEdit>();
  edit.setBounds(66, top, width, 22);
  edit.setAnchors(akLeft | akTop | akRight);
  edit.onChange = [this, &edit] {
    if (!fillingFields_) storeFormula(edit);
  };
  return edit;
}

void TSourceEditorForm::buildSourcesPage(TTabSheet& page) {
  TPanel& tools = page.add<TPanel>();
  tools.setAlign(TAlign::top);
  tools.setBounds(0, 0, 600, 30);
  int left = 4;
  auto tool = [&](const char* hint, const char* glyph, std::function<void()> action) -> TButton& {
    return toolButton(tools, toolGlyphs_, *hints_, hint, glyph, left, std::move(action));
  };
  tool("New", "NEWBMP", [this] { addBtnClick(); });
  copyBtn_ = &tool("Copy", "COPYBMP", [this] { copyBtnClick(); });
  delBtn_ = &tool("Delete", "DELBMP", [this] { delBtnClick(); });
  left += groupGap;
  upBtn_ = &tool("Move up", "UPBMP", [this] { moveBtnClick(-1); });
  downBtn_ = &tool("Move down", "DOWNBMP", [this] { moveBtnClick(1); });
  left += groupGap;
  makeTemplateBtn_ = &tool("Make default", "MAKEDEFBMP", [this] { makeTemplateBtnClick(); });
  tool("Clear default", "CLEARDEFBMP", [this] { clearTemplateBtnClick(); });
  disabledBtn_ = &tools.add<TCheckBox>("Disabled");
  disabledBtn_->setBounds(left + 4, 6, 70, 18);
  disabledBtn_->onClick = [this] { disabledBtnClick(); };
  sourceKindBox_ = &tools.add<TComboBox>();
  sourceKindBox_->setBounds(left + 80, 4, 150, 22);
  for (const char* kind : kindNames) sourceKindBox_->addItem(kind);
  sourceKindBox_->onChange = [this] { sourceKindBoxChange(); };
  favouritesBtn_ = &tools.add<TCheckBox>("Favorites");
  favouritesBtn_->setBounds(left + 236, 6, 80, 18);
  favouritesBtn_->onClick = [this] { showFavourites(favouritesBtn_->checked()); };

  formulaPanel_ = &page.add<TPanel>();
  formulaPanel_->setAlign(TAlign::bottom);
  formulaPanel_->setBounds(0, 0, 600, chart_ ? 7 * 25 + 6 : 3 * 25 + 6);
  buildFavourites(page);

  sourcesSheet_ = &page.add<TSheetPanel>();
  sourcesSheet_->setAlign(TAlign::client);
  setupSheet(*sourcesSheet_, 9, 2);
  sourcesSheet_->onCellValueEdited = [this] { sourceEdited(); };
  sourcesSheet_->numberRequired = [this] {
    return TSourceEditModel::sourceNumberAt(sourcesSheet_->sheet().currentCol, sourcesSheet_->sheet().currentRow);
  };
  sourcesSheet_->onRender = [this] { sourcesRendered(); };
  sourcesSheet_->onSheetKeyDown = [this](WORD& key, TShiftState shift) {
    if (key == VK_INSERT) {
      addBtnClick();
      key = 0;
    } else if (key == VK_DELETE && (shift & ssCtrl)) {
      delBtnClick();
      key = 0;
    }
  };
}

void TSourceEditorForm::buildEntryPage(TTabSheet& page, bool parameters) {
  TPanel& tools = page.add<TPanel>();
  tools.setAlign(TAlign::top);
  tools.setBounds(0, 0, 600, 30);
  entryTools_[parameters] = &tools;
  const char* hints[] = {"New", "Copy", "Delete", "Move up", "Move down"};
  const char* glyphs[] = {"NEWBMP", "COPYBMP", "DELBMP", "UPBMP", "DOWNBMP"};
  int left = 4;
  for (int command = 0; command < 5; ++command) {
    if (command == 3) left += groupGap;
    entryButtons_[parameters][command] =
        &toolButton(tools, toolGlyphs_, *hints_, hints[command], glyphs[command], left,
                    [this, parameters, command] { entryCommand(parameters, command); });
  }
  if (!parameters) {
    left += groupGap;
    toolButton(tools, toolGlyphs_, *hints_, "Edit as text", "EDITASTEXTBMP", left, [this] { editSymbolsAsText(); });
  }
  TSheetPanel& sheet = page.add<TSheetPanel>();
  sheet.setAlign(TAlign::client);
  setupSheet(sheet, parameters ? 8 : 3, parameters ? 15 : 2);
  sheet.onCellValueEdited = [this, parameters] { entryEdited(parameters); };
  if (parameters) {
    sheet.numberRequired = [&sheet] {
      return TSourceEditModel::parameterNumberAt(sheet.sheet().currentCol, sheet.sheet().currentRow);
    };
  }
  if (!parameters) {
    sheet.onAcceptTypedText = [this, &sheet](const std::string& text) {
      // A definition that every plot would find in error is only taken when
      // the user wants it so; else the editor stays on what was typed.
      return sheet.sheet().currentCol != TSourceEditModel::symbolDefinitionColumn ||
             keepTypedFormula(*messages, handle(), this->text(), sheet.sheet(), text);
    };
  }
  sheet.onRender = [this, parameters] { updateEntryTools(parameters); };
  sheet.onSheetKeyDown = [this, parameters](WORD& key, TShiftState shift) {
    if (key == VK_INSERT) {
      entryCommand(parameters, 0);
      key = 0;
    } else if (key == VK_DELETE && (shift & ssCtrl)) {
      entryCommand(parameters, 2);
      key = 0;
    }
  };
  (parameters ? parametersSheet_ : symbolsSheet_) = &sheet;
}

void TSourceEditorForm::buildFavourites(TControl& parent) {
  favouritesPanel_ = &parent.add<TPanel>();
  favouritesPanel_->setAlign(TAlign::right);
  favouritesPanel_->setBounds(0, 0, 200, 300);
  TPanel& tools = favouritesPanel_->add<TPanel>();
  tools.setAlign(TAlign::top);
  tools.setBounds(0, 0, 200, 30);
  int left = 4;
  auto tool = [&](const char* hint, const char* glyph, std::function<void()> action) {
    return &toolButton(tools, toolGlyphs_, *hints_, hint, glyph, left, std::move(action));
  };
  favUseBtn_ = tool("Use", "USEFAVBMP", [this] { useFavourite(); });
  favAddBtn_ = tool("Add", "ADDBMP", [this] { addFavourite(); });
  favDelBtn_ = tool("Delete", "DELBMP", [this] { deleteFavourite(); });
  favUpBtn_ = tool("Move up", "UPBMP", [this] { moveFavourite(-1); });
  favDownBtn_ = tool("Move down", "DOWNBMP", [this] { moveFavourite(1); });
  tool("Close", "CLOSEBMP", [this] { showFavourites(false); });
  TListViewOptions options;
  options.editLabels = true;
  options.readOnly = false;
  favouritesList_ = &favouritesPanel_->add<TListView>(options);
  favouritesList_->setAlign(TAlign::client);
  favouritesList_->addColumn("Favorite", 180);
  favouritesList_->onResize = [this] { favouritesList_->setColumnWidth(0, favouritesList_->clientWidth()); };
  favouritesList_->onDoubleClick = [this] { useFavourite(); };
  favouritesList_->onSelectItem = [this](int, bool) { updateFavouriteTools(); };
  favouritesList_->onEdited = [this](int row, std::string& text) {
    model_.renameFavourite(row, text);
    text = model_.favourites()->getSource(row)->Caption;
    return true;
  };
  favouritesList_->onKeyDown = [this](WORD& key, TShiftState) {
    if (key == VK_RETURN) useFavourite();
    if (key == VK_INSERT) addFavourite();
    if (key == VK_DELETE) deleteFavourite();
    if (key == VK_RETURN || key == VK_INSERT || key == VK_DELETE) key = 0;
  };
  favouritesList_->onColumnClick = [this](int) {
    model_.sortFavourites(sortAscending_);
    sortAscending_ = !sortAscending_;
    selectFavourite(favouritesList_->itemIndex());
  };
  favouritesPanel_->hide();
}

void TSourceEditorForm::layoutButtons() {
  TControl* bottom = okBtn_->parent();
  const int margin = 8;
  const int width = std::max(40, (bottom->clientWidth() - 3 * 2 * margin) / 3);
  helpBtn_->setBounds(margin, 6, width, 24);
  applyBtn_->setBounds((bottom->clientWidth() - width) / 2, 6, width, 24);
  okBtn_->setBounds(bottom->clientWidth() - width - margin, 6, width, 24);
}

void TSourceEditorForm::setSheetImageList(const TImageList* images) {
  if (images == nullptr) return;
  imageComboBox_->clear();
  for (int i = 0; i < images->count(); ++i) imageComboBox_->addItem(std::to_string(i));
  imageComboBox_->setItemHeight(std::max(SendMessageA(imageComboBox_->handle(), CB_GETITEMHEIGHT, 0, 0),
                                         static_cast<LRESULT>(images->height() + 2)));
  imageComboBox_->onDrawItem = [images](TCanvas& canvas, int index, const RECT& place) {
    images->draw(canvas, (place.left + place.right - images->width()) / 2,
                 (place.top + place.bottom - images->height()) / 2, index);
  };
  for (TSheetPanel* sheet : {sourcesSheet_, parametersSheet_}) {
    sheet->setImageList(images->handle());
    sheet->setTrueImageIndex(1);
    sheet->setFalseImageIndex(0);
  }
}

void TSourceEditorForm::loadGUIoptions(const std::string& fileName) {
  layoutFile_ = fileName;
  const TPortableIniFile ini(fileName);
  const std::string section = name;
  const int w = ini.readInteger(section, "Width", width());
  const int h = ini.readInteger(section, "Height", height());
  const int l = ini.readInteger(section, "Left", (GetSystemMetrics(SM_CXSCREEN) - w) / 2);
  const int t = ini.readInteger(section, "Top", (GetSystemMetrics(SM_CYSCREEN) - h) / 2);
  setBounds(l, t, w, h);
  const std::pair<const char*, TSheetPanel*> sheets[] = {
      {"", sourcesSheet_}, {"Symbol", symbolsSheet_}, {"Parameter", parametersSheet_}};
  for (const auto& [prefix, panel] : sheets) {
    TSheet& sheet = panel->sheet();
    for (int column = 1; column <= panel->maxVisibleCol(); ++column) {
      sheet.setColWidth(column, ini.readInteger(section, std::string(prefix) + "ColWidth" + std::to_string(column),
                                                sheet.getColWidth(column)));
    }
    sheet.setRowHeight(1, ini.readInteger(section, std::string(prefix) + "FixedHeight", sheet.getDefaultRowHeight()));
  }
  const bool favouritesVisible = ini.readBool(section, "FavsVisible", favouritesPanel_->visible());
  favouritesPanel_->setSize(ini.readInteger(section, "FavsWidth", favouritesPanel_->width()), favouritesPanel_->height());
  favouritesBtn_->setChecked(favouritesVisible);
  showFavourites(favouritesVisible);
  // A size the file spells so that it reads as none stays as spelled until
  // the user changes it.
  // The rest of the file, the other windows' layout, is known too: the
  // save of this part checks all of it.
  savedGUIoptions_.takeWithTheRest(fileName, [this](TPortableIniFile& file) { writeGUIoptions(file); }, ini);
}

void TSourceEditorForm::saveGUIoptions(const std::string& fileName) {
  savedGUIoptions_.save(fileName, [this](TPortableIniFile& ini) { writeGUIoptions(ini); });
}

void TSourceEditorForm::writeGUIoptions(TPortableIniFile& ini) const {
  const std::string section = name;
  const RECT place = bounds();
  ini.writeInteger(section, "Left", place.left);
  ini.writeInteger(section, "Height", place.bottom - place.top);
  ini.writeInteger(section, "Top", place.top);
  ini.writeInteger(section, "Width", place.right - place.left);
  const std::pair<const char*, TSheetPanel*> sheets[] = {
      {"", sourcesSheet_}, {"Symbol", symbolsSheet_}, {"Parameter", parametersSheet_}};
  for (const auto& [prefix, panel] : sheets) {
    const TSheet& sheet = panel->sheet();
    for (int column = 1; column <= panel->maxVisibleCol(); ++column) {
      ini.writeInteger(section, std::string(prefix) + "ColWidth" + std::to_string(column), sheet.getColWidth(column));
    }
    ini.writeInteger(section, std::string(prefix) + "FixedHeight", sheet.getRowHeight(1));
  }
  ini.writeBool(section, "FavsVisible", favouritesPanel_->visible());
  ini.writeInteger(section, "FavsWidth", favouritesPanel_->width());
}

// ---- The editing run ----

void TSourceEditorForm::beginEditing(TSourceTable& table, TSourceTable* favourites, std::function<void()> apply) {
  result_ = false;
  callerTable_ = &table;
  apply_ = std::move(apply);
  model_.begin(table, favourites);
  favouritesList_->clear();
  if (favourites != nullptr) {
    for (int i = 0; i < favourites->count(); ++i) favouritesList_->addItem(favourites->getSource(i)->Caption);
    favouritesBtn_->setEnabled(true);
  } else {
    favouritesBtn_->setChecked(false);
    showFavourites(false);
    favouritesBtn_->setEnabled(false);
  }
  for (TSheetPanel* sheet : {sourcesSheet_, symbolsSheet_, parametersSheet_}) {
    sheet->sheet().setDefaultColWidth(std::max(20, clientWidth() / sheet->maxVisibleCol()));
  }
  refillSources(0);
  applyBtn_->setEnabled(static_cast<bool>(apply_));
}

bool TSourceEditorForm::finishEditing() {
  TSheet& sheet = sourcesSheet_->sheet();
  for (int i = 0; i < model_.working().count(); ++i) model_.working().getSource(i)->EditorRowHeight = sheet.getRowHeight(i + 2);
  if (result_ && callerTable_ != nullptr) model_.apply(*callerTable_);
  callerTable_ = nullptr;
  return result_;
}

bool TSourceEditorForm::cellEditorsFinished() {
  for (TSheetPanel* sheet : {sourcesSheet_, symbolsSheet_, parametersSheet_})
    if (sheet->editing() && !sheet->finishEditing(true)) return false;
  return true;
}

void TSourceEditorForm::okBtnClick() {
  // A typed text the user chose to correct keeps the editor open.
  if (!cellEditorsFinished()) return;
  result_ = true;
  close();
}

// Esc closes the editor unaccepted, as the close box does; a control that
// takes Esc itself (a cell or caption being edited, an open list) keeps it.
bool TSourceEditorForm::dialogKey(WORD key, TShiftState shift) {
  if (key == VK_ESCAPE && !(shift & (ssCtrl | ssAlt))) {
    close();
    return true;
  }
  return TForm::dialogKey(key, shift);
}

void TSourceEditorForm::applyBtnClick() {
  if (!apply_ || callerTable_ == nullptr || !cellEditorsFinished()) return;
  THourglass hourglass;
  model_.apply(*callerTable_);
  apply_();
}

void TSourceEditorForm::showFavourites(bool show) {
  favouritesBtn_->setChecked(show);
  favouritesPanel_->setVisible(show);
  favouritesPanel_->parent()->realign();
}

// ---- Sheets ----

void TSourceEditorForm::refillSources(int row) {
  TSheet& sheet = sourcesSheet_->sheet();
  const int column = std::max(1, sheet.currentCol);
  model_.fillSources(sheet);
  if (model_.working().count() > 0) {
    model_.current = std::clamp(row, 0, model_.working().count() - 1);
    sheet.setCurrentCell(column, model_.current + 2);
    sheet.scrollToCurrentCell();
  } else {
    model_.current = -1;
  }
  sourcesSheet_->refresh();
  refillEntries();
}

void TSourceEditorForm::refillEntries() {
  model_.fillSymbols(symbolsSheet_->sheet());
  model_.fillParameters(parametersSheet_->sheet());
  symbolsSheet_->refresh();
  parametersSheet_->refresh();
  const TSource* source = model_.currentSource();
  disabledBtn_->setChecked(source != nullptr && !source->Enabled);
  sourceKindBox_->setItemIndex(source != nullptr ? source->Kind : -1);
  showFormulas();
  updateSourceTools();
}

void TSourceEditorForm::updateSourceTools() {
  const TSourceToolState state = model_.sourceToolState();
  for (TControl* part : std::initializer_list<TControl*>{copyBtn_, makeTemplateBtn_, sourceKindBox_, disabledBtn_,
                                                         formulaPanel_, symbolsSheet_, parametersSheet_,
                                                         entryTools_[0], entryTools_[1]})
    part->setEnabled(state.current);
  delBtn_->setEnabled(state.deletable);
  upBtn_->setEnabled(state.up);
  downBtn_->setEnabled(state.down);
  if (!state.current) pages_->setActivePageIndex(0);
  updateEntryTools(false);
  updateEntryTools(true);
  updateFavouriteTools();
}

int TSourceEditorForm::entryIndex(bool parameters) const {
  return (parameters ? parametersSheet_ : symbolsSheet_)->sheet().currentRow - 2;
}

void TSourceEditorForm::updateEntryTools(bool parameters) {
  const TEntryToolState state = model_.entryToolState(parameters, entryIndex(parameters));
  const bool enabled[] = {state.add, state.copy, state.remove, state.up, state.down};
  for (int command = 0; command < 5; ++command) entryButtons_[parameters][command]->setEnabled(enabled[command]);
}

void TSourceEditorForm::updateFavouriteTools() {
  const TFavouriteToolState state = model_.favouriteToolState(favouritesList_->itemIndex());
  favUseBtn_->setEnabled(state.use);
  favAddBtn_->setEnabled(state.add);
  favDelBtn_->setEnabled(state.remove);
  favUpBtn_->setEnabled(state.up);
  favDownBtn_->setEnabled(state.down);
}

void TSourceEditorForm::sourcesRendered() {
  const int row = sourcesSheet_->sheet().currentRow - 2;
  if (row < 0 || row >= model_.working().count() || row == model_.current) return;
  model_.current = row;
  refillEntries();
}

void TSourceEditorForm::sourceEdited() {
  TSheet& sheet = sourcesSheet_->sheet();
  const int column = sheet.currentCol;
  const int row = sheet.currentRow;
  const std::string shown = model_.storeSourceCell(column, row, sheet.getCellText(column, row, false));
  if (column == 1 || column == 2 || column == 9) {
    sheet.setCellContent(column, row, 0, shown, column == 9 ? 5 : 2);
    sourcesSheet_->refresh();
  }
}

void TSourceEditorForm::entryEdited(bool parameters) {
  TSheetPanel& panel = parameters ? *parametersSheet_ : *symbolsSheet_;
  TSheet& sheet = panel.sheet();
  const int column = sheet.currentCol;
  const int row = sheet.currentRow;
  const std::string text = sheet.getCellText(column, row, false);
  const std::string shown = parameters ? model_.storeParameterCell(column, row, text)
                                       : model_.storeSymbolCell(column, row, text);
  if (shown != text) {
    sheet.setCellContent(column, row, 0, shown, 2);
    panel.refresh();
  }
}

// ---- Source commands ----

// A failed operation changed nothing: the sheet is refilled, the current
// row stays.
void TSourceEditorForm::addBtnClick() {
  model_.newSource();
  refillSources(model_.current);
}

void TSourceEditorForm::copyBtnClick() {
  model_.copySource();
  refillSources(model_.current);
}

void TSourceEditorForm::delBtnClick() {
  model_.deleteSource();
  refillSources(model_.current);
}

void TSourceEditorForm::moveBtnClick(int delta) {
  model_.moveSource(delta);
  refillSources(model_.current);
}

void TSourceEditorForm::disabledBtnClick() {
  model_.toggleEnabled();
  refillSources(model_.current);
}

void TSourceEditorForm::makeTemplateBtnClick() {
  std::string why;
  if (model_.makeTemplate(why) || why.empty()) return;
  messages->show(handle(), "The default was not made: " + why + ".", commonString(4), MB_OK | MB_ICONWARNING);
}
void TSourceEditorForm::clearTemplateBtnClick() {
  // A default that stays would give every new source its formulas without
  // a word.
  std::string refusal;
  if (model_.clearTemplate(refusal)) return;
  messages->show(handle(), deletionNotice("The default was", false, refusal, "cleared"), commonString(4),
                 MB_OK | MB_ICONWARNING);
}

void TSourceEditorForm::sourceKindBoxChange() {
  if (sourceKindBox_->itemIndex() < 0) return;
  model_.setKind(sourceKindBox_->itemIndex());
  refillSources(model_.current);
}

void TSourceEditorForm::entryCommand(bool parameters, int command) {
  TSheetPanel& panel = parameters ? *parametersSheet_ : *symbolsSheet_;
  const int index = panel.sheet().currentRow - 2;
  int row = -1;
  switch (command) {
    case 0: row = model_.newEntry(parameters, index); break;
    case 1: row = model_.copyEntry(parameters, index); break;
    case 2: row = model_.deleteEntry(parameters, index); break;
    case 3: row = model_.moveEntry(parameters, index, -1); break;
    case 4: row = model_.moveEntry(parameters, index, 1); break;
    default: break;
  }
  refillEntries();
  if (row >= 0) {
    panel.sheet().setCurrentCell(std::max(1, panel.sheet().currentCol), row + 2);
    panel.sheet().scrollToCurrentCell();
    panel.refresh();
  }
}

void TSourceEditorForm::editSymbolsAsText() {
  std::string text = model_.symbolsAsText();
  if (!editAsText(layoutFile_, languageFile_, textEditorPopupMenu_, text)) return;
  model_.symbolsFromText(text);
  refillEntries();
}

// ---- Favourites ----

void TSourceEditorForm::selectFavourite(int index) {
  favouritesList_->clear();
  TSourceTable* favourites = model_.favourites();
  if (favourites == nullptr) return;
  for (int i = 0; i < favourites->count(); ++i) favouritesList_->addItem(favourites->getSource(i)->Caption);
  if (index >= 0 && index < favouritesList_->itemCount()) {
    favouritesList_->setItemIndex(index);
    favouritesList_->ensureVisible(index);
  }
  updateFavouriteTools();
}

void TSourceEditorForm::useFavourite() {
  if (model_.useFavourite(favouritesList_->itemIndex()) < 0) return;
  refillSources(model_.current);
  sourcesSheet_->setFocus();
}

void TSourceEditorForm::addFavourite() {
  const int index = model_.addFavourite(favouritesList_->itemIndex());
  if (index < 0) return;
  selectFavourite(index);
  favouritesList_->setFocus();
}

void TSourceEditorForm::deleteFavourite() {
  const int index = model_.deleteFavourite(favouritesList_->itemIndex());
  if (model_.favourites() != nullptr) selectFavourite(index);
}

void TSourceEditorForm::moveFavourite(int delta) {
  const int index = model_.moveFavourite(favouritesList_->itemIndex(), delta);
  if (index >= 0) selectFavourite(index);
}

// ---- Formula fields ----

void TSourceEditorForm::showFormulas() {
  const TSource* source = model_.currentSource();
  fillingFields_ = true;
  textEdit_->setText(source ? source->Text : "");
  imageEdit_->setText(source ? source->Image : "");
  closeEdit_->setText(source ? source->Close : "");
  fillingFields_ = false;
}

void TSourceEditorForm::storeFormula(TEdit& edit) {
  TSource* source = model_.currentSource();
  if (source == nullptr) return;
  if (&edit == closeEdit_) source->Close = edit.text();
  if (&edit == textEdit_) source->Text = edit.text();
  if (&edit == imageEdit_) source->Image = edit.text();
}

// ---- Menus, codes and hints ----

void TSourceEditorForm::buildMenus() {
  TMenuItem& newItem = sourcesMenu_.add("&New", [this] { addBtnClick(); });
  TMenuItem& copyItem = sourcesMenu_.add("&Copy", [this] { copyBtnClick(); });
  TMenuItem& deleteItem = sourcesMenu_.add("&Delete", [this] { delBtnClick(); });
  TMenuItem& moveItem = sourcesMenu_.add("&Move");
  moveItem.add("&Up", [this] { moveBtnClick(-1); });
  moveItem.add("&Down", [this] { moveBtnClick(1); });
  TMenuItem& typeItem = sourcesMenu_.add("&Type");
  std::vector<TMenuItem*> kinds;
  kinds.push_back(&typeItem.add("&Free", [this] { sourceKindBox_->setItemIndex(0); sourceKindBoxChange(); }));
  TMenuItem& portfolios = typeItem.add("&Portfolios");
  TMenuItem& assets = typeItem.add("&Assets");
  const char* subKinds[] = {"&All", "&Selected", "By s&ymbol", "By &name"};
  for (int group = 0; group < 2; ++group) {
    for (int k = 0; k < 4; ++k) {
      const int kind = 1 + group * 4 + k;
      kinds.push_back(&(group == 0 ? portfolios : assets).add(subKinds[k], [this, kind] {
        sourceKindBox_->setItemIndex(kind);
        sourceKindBoxChange();
      }));
    }
  }
  TMenuItem& defaultItem = sourcesMenu_.add("D&efault");
  defaultItem.add("&Make", [this] { makeTemplateBtnClick(); });
  defaultItem.add("&Clear", [this] { clearTemplateBtnClick(); });
  TMenuItem& disabledItem = sourcesMenu_.add("Di&sabled", [this] { disabledBtnClick(); });
  TMenuItem& favouritesItem = sourcesMenu_.add("&Favorites", [this] { showFavourites(!favouritesPanel_->visible()); });
  sourcesMenu_.onPopup = [this, &newItem, &copyItem, &deleteItem, &moveItem, &typeItem, &disabledItem,
                          &favouritesItem, &portfolios, &assets, kinds] {
    const TSource* source = model_.currentSource();
    const TSourceToolState state = model_.sourceToolState();
    newItem.enabled = true;
    copyItem.enabled = typeItem.enabled = disabledItem.enabled = state.current;
    deleteItem.enabled = state.deletable;
    moveItem.enabled = state.up || state.down;
    disabledItem.checked = source != nullptr && !source->Enabled;
    favouritesItem.checked = favouritesPanel_->visible();
    favouritesItem.enabled = favouritesBtn_->enabled();
    const int kind = source != nullptr ? source->Kind : -1;
    for (std::size_t k = 0; k < kinds.size(); ++k) {
      kinds[k]->radio = true;
      kinds[k]->checked = static_cast<int>(k) == kind;
    }
    portfolios.checked = kind >= 1 && kind <= 4;
    assets.checked = kind >= 5 && kind <= 8;
  };
  sourcesSheet_->setPopupMenu(&sourcesMenu_);

  for (const bool parameters : {false, true}) {
    TPopupMenu& menu = parameters ? parametersMenu_ : symbolsMenu_;
    const char* captions[] = {"&New", "&Copy", "&Delete", "Move &up", "Move d&own"};
    std::vector<TMenuItem*> items;
    for (int command = 0; command < 5; ++command) {
      items.push_back(&menu.add(captions[command], [this, parameters, command] { entryCommand(parameters, command); }));
    }
    menu.onPopup = [this, parameters, items] {
      const TEntryToolState state = model_.entryToolState(parameters, entryIndex(parameters));
      const bool enabled[] = {state.add, state.copy, state.remove, state.up, state.down};
      for (int command = 0; command < 5; ++command) items[command]->enabled = enabled[command];
    };
    (parameters ? parametersSheet_ : symbolsSheet_)->setPopupMenu(&menu);
  }

  TMenuItem& useItem = favouritesMenu_.add("U&se", [this] { useFavourite(); });
  TMenuItem& addItem = favouritesMenu_.add("&Add", [this] { addFavourite(); });
  TMenuItem& removeItem = favouritesMenu_.add("D&elete", [this] { deleteFavourite(); });
  TMenuItem& editItem = favouritesMenu_.add("&Edit", [this] {
    if (favouritesList_->itemIndex() >= 0) favouritesList_->editCaption(favouritesList_->itemIndex());
  });
  favouritesMenu_.addSeparator();
  favouritesMenu_.add("&Close", [this] { showFavourites(false); });
  favouritesMenu_.onPopup = [this, &useItem, &addItem, &removeItem, &editItem] {
    const TFavouriteToolState state = model_.favouriteToolState(favouritesList_->itemIndex());
    useItem.enabled = editItem.enabled = state.use;
    removeItem.enabled = state.remove;
    addItem.enabled = state.add;
  };
  favouritesList_->setPopupMenu(&favouritesMenu_);
}

void TSourceEditorForm::insertAtCaret(TEdit& edit, const std::string& text) {
  SendMessageA(edit.handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

void TSourceEditorForm::addCodeControls(TControl& parent, int textTop, int imageTop, int left) {
  TButton& colorBtn = button(parent, "Color code", left, textTop - 1, 90, [this] { colorBtnClick(); });
  colorBtn.setAnchors(akTop | akRight);
  imageComboBox_ = &parent.add<TComboBox>(TComboStyle::ownerDrawList);
  imageComboBox_->setBounds(left, imageTop, 90, 22);
  imageComboBox_->setAnchors(akTop | akRight);
  imageComboBox_->onChange = [this] { imageComboBoxChange(); };
  hints_->setHint(*textEdit_,
                  "{string text, float y, integer vertical_offset = 0, integer frame_style = 0, integer color = default}");
  hints_->setHint(*imageEdit_, "{integer image_number, float y, integer vertical_offset = 0, string text = ''}");
  hints_->setHint(colorBtn, "Color code");
  hints_->setHint(*imageComboBox_, "Image code");
}

void TSourceEditorForm::colorBtnClick() {
  TColor color = clBlack;
  if (!colorDialog || !colorDialog->execute(handle(), color)) return;
  insertAtCaret(*textEdit_, std::to_string(static_cast<std::int32_t>(color)));
}

void TSourceEditorForm::imageComboBoxChange() {
  const int index = imageComboBox_->itemIndex();
  if (index >= 0) insertAtCaret(*imageEdit_, std::to_string(index));
}
