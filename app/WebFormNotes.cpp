#include "app/WebForm.h"

#include <memory>
#include <optional>

#include "controls/DocumentSave.h"
#include "controls/EditPanel.h"
#include "controls/EditorStatus.h"
#include "controls/ResizablePanelContainer.h"
#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "model/UnsavedChanges.h"
#include "platform/ExtControls.h"
#include "platform/FileSystem.h"

// The notes tile of a mosaic: its text in "Notes.TXT", its place, colour,
// font and visibility in section "Notes" of the mosaic's "0.INI".

namespace {

constexpr const char* notesSection = "Notes";
// The notes' change left for the close: a later one replaces it.
constexpr const char* notesChange = "notes";

}  // namespace

void TwebForm::loadNotes(const std::string& folder) {
  noteEditPanel_->setEditorStatus(nullptr);
  // A text its file did not take shows again, as the user left it, when its
  // mosaic does: a read of the file would hide it, and the next save drop it.
  // So does the tile's record (see heldSettings).
  keepDocument(std::move(notes_));
  const std::string fileName = folder + "Notes.TXT";
  notes_ = takeKeptDocument(fileName, notesChange);
  if (!notes_) {
    notes_ = std::make_unique<TEditorStatus>();
    if (!pathExists(fileName)) {
      notes_->saveToFile(fileName, false);
    } else if (!notes_->loadFromFile(fileName)) {
      // An unreadable file (held by another program, a folder under its
      // name) must not be overwritten by the empty document; the user is
      // told.
      notes_->fileName.clear();
      reportUnreadableFile(fileName);
    }
  }
  const std::string tileFile = folder + "0.INI";
  std::optional<THeldSettings> held = heldSettings(tileFile, notesChange);
  const std::unique_ptr<const TPortableIniFile> read =
      held ? std::unique_ptr<const TPortableIniFile>(std::move(held->shown))
           : std::make_unique<const TPortableIniFile>(tileFile);
  const TPortableIniFile& ini = *read;
  try {
    TFontAttributes& record = *fontAttributeSets_.find(0);
    TFontProperties font = fontPropertiesOf(record);
    ini.readFont(notesSection, "Font", font);
    const uint16_t id = record.id;
    record = fontAttributesOf(font);
    record.id = id;
    fontAttributeSets_.invalidateWidths();
    notes_->backgroundColour = ini.readInteger(notesSection, "Color", notes_->backgroundColour);
    const long double left = ini.readFloat(notesSection, "Left", 0);
    const long double top = ini.readFloat(notesSection, "Top", 0);
    const long double right = ini.readFloat(notesSection, "Right", 1);
    const long double bottom = ini.readFloat(notesSection, "Bottom", 1);
    noteEditorContainer_->show();
    sheetResizablePanel_->setRelativeBounds(noteEditorContainer_, left, top, right, bottom);
    noteEditorContainer_->setMaximized(ini.readBool(notesSection, "Maximized", noteEditorContainer_->maximized()));
    noteEditorContainer_->setVisible(ini.readBool(notesSection, "Show", true));
  } catch (...) {
    // A damaged tile record leaves the rest of the tile as it was.
  }
  // A record that could not be read is not replaced by the defaults shown.
  if (held)
    savedNotesTile_.takeOver(std::move(held->baseline), notesTileWriter());
  else
    savedNotesTile_.takeAsShown(tileFile, notesTileWriter(), ini);
  noteEditPanel_->setEditorStatus(notes_.get());
  notesBtn_->setDown(noteEditorContainer_->visible());
}

TSaveFailures TwebForm::saveNotes() {
  TSaveFailures failed;
  if (!notes_ || notes_->fileName.empty()) return failed;
  const std::string fileName = notes_->fileName;
  const std::string folder = fileName.substr(0, fileName.find_last_of('\\') + 1);
  // The notes of a deleted mosaic have nowhere to go.
  if (!folderExists(folder)) return failed;
  // A text the user kept from a file another program changed goes as one
  // the file refused, but is not asked about again at a close. Only a text
  // written lets go what was held for the file.
  if (notes_->modified) {
    if (saveDocumentAsking(*notes_, false, messages_, handle()) == TDocumentSave::saved)
      forgetUnsavedChange(fileName, notesChange);
    else
      failed.push_back(fileName);
  }
  // The record shows what was held for it: a save that went through leaves
  // the file holding that.
  const std::string tileFile = folder + "0.INI";
  if (!savedNotesTile_.save(tileFile, notesTileWriter()))
    failed.push_back(tileFile);
  else
    forgetUnsavedChange(tileFile, notesChange);
  return failed;
}

void TwebForm::saveNotesLeft() {
  // The notes go now: what their files refused waits for the close, and
  // shows again with the mosaic.
  for (const std::string& file : saveNotes()) {
    if (file == notes_->fileName)
      holdDocument(*notes_, notesChange);
    else
      holdSettingsChange(file, notesChange, savedNotesTile_, notesTileWriter());
  }
}

TSettingsBaseline::TWriter TwebForm::notesTileWriter() {
  return [this](TPortableIniFile& ini) { writeNotesTile(ini); };
}

void TwebForm::writeNotesTile(TPortableIniFile& ini) {
  long double left = 0, top = 0, right = 1, bottom = 1;
  sheetResizablePanel_->getRelativeBounds(noteEditorContainer_, left, top, right, bottom);
  ini.writeFloat(notesSection, "Left", static_cast<double>(left));
  ini.writeFloat(notesSection, "Top", static_cast<double>(top));
  ini.writeFloat(notesSection, "Right", static_cast<double>(right));
  ini.writeFloat(notesSection, "Bottom", static_cast<double>(bottom));
  ini.writeBool(notesSection, "Maximized", noteEditorContainer_->maximized());
  ini.writeInteger(notesSection, "Color", notes_->backgroundColour);
  ini.writeFont(notesSection, "Font", fontPropertiesOf(*fontAttributeSets_.find(0)));
  ini.writeBool(notesSection, "Show", noteEditorContainer_->visible());
  // The tile shares its file with the mosaic's name: what another program
  // cut of it is put back by the tile's save too.
  if (shownMosaic_ >= 0) descriptor(shownMosaic_).writeName(ini);
}

void TwebForm::setNotesShown(bool shown) {
  noteEditorContainer_->setVisible(shown);
  if (shown) noteEditorContainer_->bringToFront();
}
