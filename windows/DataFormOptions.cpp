// The window's layout in its controls file: every key read with the
// control's current state as its default; what changed is written back.
#include <algorithm>
#include <iterator>
#include <memory>
#include <optional>
#include <vector>

#include "controls/EditPanel.h"
#include "controls/ResizablePanel.h"
#include "controls/ResizablePanelContainer.h"
#include "controls/SheetPanel.h"
#include "model/FontProperties.h"
#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "model/UnsavedChanges.h"
#include "platform/ExtControls.h"
#include "windows/DataForm.h"

namespace {

const char* const tileSides[] = {"Left", "Top", "Right", "Bottom"};
// A layout change left for the close: a later one of the file replaces it.
constexpr const char* layoutChange = "layout";

// A tile is read back only with its four sides (see tileLost), and a save
// writes only what moved: the sides a file lacks (one from before the tile
// was saved in it) are taken as missing wherever a side of their tile moved,
// so that the save writes them too.
void takeMovedTilesWhole(TSettingsBaseline& saved, const std::string& fileName,
                         const TSettingsBaseline::TWriter& write) {
  const std::unique_ptr<TPortableIniFile> before = saved.comparedWith(fileName);
  const std::unique_ptr<TPortableIniFile> now = TSettingsBaseline::written(fileName, write);
  // Read only once a tile moved: a save of anything else reads the file
  // only where the save itself does.
  std::unique_ptr<const TPortableIniFile> asItStands;
  std::vector<std::string> sections;
  now->readSections(sections);
  for (const std::string& section : sections) {
    const auto side = [&](const TPortableIniFile& ini, const char* key) { return ini.readString(section, key, ""); };
    const bool tile = std::none_of(std::begin(tileSides), std::end(tileSides),
                                   [&](const char* key) { return side(*now, key).empty(); });
    const bool moved = std::any_of(std::begin(tileSides), std::end(tileSides),
                                   [&](const char* key) { return side(*before, key) != side(*now, key); });
    if (!tile || !moved) continue;
    if (!asItStands) asItStands = std::make_unique<const TPortableIniFile>(fileName);
    for (const char* key : tileSides)
      if (side(*asItStands, key).empty()) saved.takeAsRead(section, key, *asItStands);
  }
}

}  // namespace

void TdataForm::readPanelPlace(const TPortableIniFile& ini, const std::string& section, TControl& panel,
                               bool withVisible) {
  panel.setBounds(ini.readInteger(section, "Left", panel.left()), ini.readInteger(section, "Top", panel.top()),
                  panel.width(), panel.height());
  if (withVisible) panel.setVisible(ini.readBool(section, "Visible", panel.visible()));
}

void TdataForm::writePanelPlace(TPortableIniFile& ini, const std::string& section, const TControl& panel,
                                bool withVisible) {
  ini.writeInteger(section, "Left", panel.left());
  ini.writeInteger(section, "Top", panel.top());
  if (withVisible) ini.writeBool(section, "Visible", panel.visible());
}

bool TdataForm::tileLost(const TPortableIniFile& ini, const char* section, TResizablePanel& tile) {
  int held = 0;
  for (const char* side : tileSides) held += ini.readString(section, side, "").empty() ? 0 : 1;
  if (held == 0 || held == 4) return false;
  lostTiles_.emplace_back(section, &tile);
  return true;
}

void TdataForm::readTile(const TPortableIniFile& ini, const char* section, TResizablePanel& tile) {
  // The defaults standing in for the lost sides would cover the views.
  if (tileLost(ini, section, tile)) {
    sheetResizablePanel_->setRelativeBounds(&tile, 0, 0, 1, 1);
    return;
  }
  sheetResizablePanel_->setRelativeBounds(&tile, ini.readFloat(section, "Left", 0), ini.readFloat(section, "Top", 0),
                                          ini.readFloat(section, "Right", 1), ini.readFloat(section, "Bottom", 1));
}

void TdataForm::loadGUIoptions(const std::string& fileName) {
  // What the file refused when its view was shown before shows again as
  // the user left it: read from the file, it would not, and the next save,
  // finding nothing changed, would let it go unwritten.
  std::optional<THeldSettings> held = heldSettings(fileName, layoutChange);
  showsHeldLayout_ = held.has_value();
  const std::unique_ptr<const TPortableIniFile> read =
      held ? std::unique_ptr<const TPortableIniFile>(std::move(held->shown))
           : std::make_unique<const TPortableIniFile>(fileName);
  const TPortableIniFile& ini = *read;
  bool showNotesTile = notesBtn_->down();
  lostTiles_.clear();
  try {
    readPanelPlace(ini, "DateControls", *dateControlsPanel_, false);
    synchDatesBtn_->setDown(ini.readBool("DateControls", "Synchronize", synchDatesBtn_->down()));
    readMoreGUIoptions(ini, TOptionsPlace::dates);
    readPanelPlace(ini, "ViewsControls", *objectsControlPanel_, true);
    readPanelPlace(ini, "ViewsArrange", *objectsArrangePanel_, true);
    readTile(ini, "Grid", *sheetContainer_);
    sheetContainer_->setMaximized(ini.readBool("Grid", "Maximized", sheetContainer_->maximized()));
    if (createsObjects()) readPanelPlace(ini, "CreationControls", *creationControlsPanel_, true);
    readPanelPlace(ini, "GridDirectionControls", *gridDirectionPanel_, true);
    const bool rowWise = ini.readBool("GridDirectionControls", "RowWise", rowWiseBtn_->down());
    rowWiseBtn_->setDown(rowWise);
    colWiseBtn_->setDown(!rowWise);
    dataSheet_->rowWise = rowWise;
    showCellErrorsBtn_->setDown(ini.readBool("GridErrors", "Show", showCellErrorsBtn_->down()));
    sheetPanel_->setShowCellErrors(showCellErrorsBtn_->down());
    readPanelPlace(ini, "SortControls", *sortPanel_, true);
    readPanelPlace(ini, "OrderControls", *orderPanel_, true);
    readPanelPlace(ini, "SetupControls", *sheetSetupPanel_, true);
    readMoreGUIoptions(ini, TOptionsPlace::setup);
    fixedBtn_->setDown(ini.readBool("SetupControls", "FixedOn", fixedBtn_->down()));
    sheetControlBar_->setVisible(ini.readBool("SheetControls", "Visible", sheetControlBar_->visible()));
    readMoreGUIoptions(ini, TOptionsPlace::beforeNotes);
    readTile(ini, "Notes", *noteEditorContainer_);
    noteEditorContainer_->setMaximized(ini.readBool("Notes", "Maximized", noteEditorContainer_->maximized()));
    notesColor_ = static_cast<TColor>(ini.readInteger("Notes", "Color", static_cast<int>(notesColor_)));
    TFontAttributes* record = noteFonts_.find(0);
    TFontProperties font = fontPropertiesOf(*record);
    ini.readFont("Notes", "Font", font);
    TFontAttributes read = fontAttributesOf(font);
    read.id = 0;
    noteFonts_.add(read);
    showNotesTile = ini.readBool("Notes", "Show", showNotesTile);
  } catch (const std::exception&) {
    // The keys not read keep the controls as they are.
  }
  // The notes were let go with the previous view: they open anew on the
  // files of the view being loaded, even when the button stays down.
  notesBtn_->setDown(showNotesTile);
  notesBtnClick();
  arrangePanels(*controlBar_);
  arrangePanels(*sheetControlBar_);
  // A file that could not be read leaves the controls as they were, which
  // must not replace the file unless the user changes them.
  const auto write = [this](TPortableIniFile& file) { writeGUIoptions(file); };
  if (held) {
    savedGUIoptions_.takeOver(std::move(held->baseline), write);
  } else {
    savedGUIoptions_.takeAsShown(fileName, write, ini);
    for (const auto& [section, key] : optionsCorrectedWhileLoading_) savedGUIoptions_.takeAsRead(section, key, ini);
  }
  optionsCorrectedWhileLoading_.clear();
  layoutAsLoaded_.reset();
  if (!lostTiles_.empty()) {
    reportPartlyReadFile(fileName);
    layoutAsLoaded_ = TSettingsBaseline::written(fileName, write);
  }
  // A portfolio first looked at gets no layout file of this window until
  // the user changes the layout; what was held is the user's change.
  if (held)
    optionsStandIn_.reset();
  else
    optionsStandIn_.take(fileName, write);
}

bool TdataForm::placeLostTiles() {
  // Where no view is, else behind them: the views keep their places and
  // their files, and stay in sight.
  for (const auto& [section, tile] : lostTiles_) {
    if (!tile->visible()) continue;
    if (sheetResizablePanel_->placeWhereFree(*tile))
      tile->bringToFront();
    else
      tile->sendToBack();
  }
  return !lostTiles_.empty();
}

void TdataForm::optionCorrectedWhileLoading(const std::string& section, const std::string& key) {
  optionsCorrectedWhileLoading_.emplace_back(section, key);
}

void TdataForm::optionsApplied() {
  const auto write = [this](TPortableIniFile& file) { writeGUIoptions(file); };
  // Taken again, a layout shown as held would be what the file holds.
  if (!showsHeldLayout_) savedGUIoptions_.retake();
  optionsStandIn_.retake(write);
  if (layoutAsLoaded_) layoutAsLoaded_ = TSettingsBaseline::written(layoutAsLoaded_->FileName(), write);
}

bool TdataForm::saveGUIoptions(const std::string& fileName) {
  const auto write = [this](TPortableIniFile& file) { writeGUIoptions(file); };
  if (optionsStandIn_.standing(write)) return true;
  if (layoutAsLoaded_) {
    // Once the user changes the layout, the file holds the tiles as shown,
    // not only the line of the change beside the sides left of them.
    TPortableIniFile changes(fileName, TPortableIniFile::TNewFile{});
    if (changes.writeChanges(*layoutAsLoaded_, *TSettingsBaseline::written(fileName, write))) {
      const TPortableIniFile asItStands(fileName);
      for (const auto& [section, tile] : lostTiles_)
        for (const char* side : tileSides) savedGUIoptions_.takeAsRead(section, side, asItStands);
      lostTiles_.clear();
      layoutAsLoaded_.reset();
    }
  }
  takeMovedTilesWhole(savedGUIoptions_, fileName, write);
  // The view goes when another portfolio is shown: what the file refuses
  // waits for the close, and shows again with the view.
  if (!saveHolding(fileName, layoutChange, savedGUIoptions_, write)) return false;
  optionsStandIn_.reset();
  return true;
}

void TdataForm::writeGUIoptions(TPortableIniFile& ini) {
  writePanelPlace(ini, "DateControls", *dateControlsPanel_, false);
  ini.writeBool("DateControls", "Synchronize", synchDatesBtn_->down());
  writeMoreGUIoptions(ini, TOptionsPlace::dates);
  writePanelPlace(ini, "ViewsControls", *objectsControlPanel_, true);
  writePanelPlace(ini, "ViewsArrange", *objectsArrangePanel_, true);
  const auto writeTile = [&](const char* section, TResizablePanel& tile) {
    long double left = 0, top = 0, right = 1, bottom = 1;
    sheetResizablePanel_->getRelativeBounds(&tile, left, top, right, bottom);
    ini.writeFloat(section, "Left", static_cast<double>(left));
    ini.writeFloat(section, "Top", static_cast<double>(top));
    ini.writeFloat(section, "Right", static_cast<double>(right));
    ini.writeFloat(section, "Bottom", static_cast<double>(bottom));
    ini.writeBool(section, "Maximized", tile.maximized());
  };
  writeTile("Grid", *sheetContainer_);
  if (createsObjects()) writePanelPlace(ini, "CreationControls", *creationControlsPanel_, true);
  writePanelPlace(ini, "GridDirectionControls", *gridDirectionPanel_, true);
  ini.writeBool("GridDirectionControls", "RowWise", rowWiseBtn_->down());
  ini.writeBool("GridErrors", "Show", showCellErrorsBtn_->down());
  writePanelPlace(ini, "SortControls", *sortPanel_, true);
  writePanelPlace(ini, "OrderControls", *orderPanel_, true);
  writePanelPlace(ini, "SetupControls", *sheetSetupPanel_, true);
  writeMoreGUIoptions(ini, TOptionsPlace::setup);
  ini.writeBool("SetupControls", "FixedOn", fixedBtn_->down());
  ini.writeBool("SheetControls", "Visible", sheetControlBar_->visible());
  writeMoreGUIoptions(ini, TOptionsPlace::beforeNotes);
  writeTile("Notes", *noteEditorContainer_);
  if (noteEditPanel_->editorStatus()) notesColor_ = noteEditPanel_->bgColor();
  ini.writeInteger("Notes", "Color", static_cast<int>(notesColor_));
  ini.writeFont("Notes", "Font", fontPropertiesOf(*noteFonts_.find(0)));
  ini.writeBool("Notes", "Show", notesBtn_->down());
}
