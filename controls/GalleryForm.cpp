#include "controls/GalleryForm.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>

#include "controls/DocumentSave.h"
#include "controls/EditPanel.h"
#include "model/DeletionRefusal.h"
#include "model/Directories.h"
#include "model/LanguageStrings.h"
#include "model/PortableIniFile.h"
#include "model/UnsavedChanges.h"
#include "platform/Application.h"
#include "platform/Bitmap.h"
#include "platform/Dialogs.h"
#include "platform/ExtControls.h"
#include "platform/FileSystem.h"
#include "platform/ListView.h"
#include "platform/Menu.h"
#include "platform/PageControl.h"
#include "platform/ScreenFit.h"
#include "platform/Panel.h"
#include "platform/StdControls.h"
#include "platform/ToolTips.h"

namespace {

// A gallery entry's notes left for the close: a later save replaces it.
const char* const notesChange = "notes";
const char* const layoutSection = "Gallery";
const char* const tabCaptions[TGalleryIndex::kindCount] = {"Charts", "Graphs", "Browsers"};
constexpr int tabStripHeight = 24;
// Room for the tabs, a list and the buttons.
constexpr SIZE galleryMinimumSize{300, 200};

TFormOptions galleryOptions(HWND owner) {
  TFormOptions options;
  options.caption = "Gallery";
  options.clientWidth = 492;
  options.clientHeight = 353;
  options.stayOnTop = true;
  options.minimizeBox = false;
  options.owner = owner;
  return options;
}

TPanel& plainPanel(TControl& parent, TAlign align) {
  TPanel& panel = addPlainPanel(parent);
  panel.setAlign(align);
  return panel;
}

}  // namespace

TgalleryForm::TgalleryForm(HWND owner) : TForm(galleryOptions(owner)) {
  helpContext = 2400;
  setConstraints(500, 0);
  TFontProperties notesFont;
  notesFont.color = clWindowText;
  noteFonts_.add(fontAttributesOf(notesFont));

  pageControl_ = &TControl::add<TPageControl>();
  pageControl_->setAlign(TAlign::top);
  pageControl_->setBounds(0, 0, clientWidth(), tabStripHeight);
  pageControl_->onChange = [this] { pageChanged(); };

  buttonPanel_ = &plainPanel(*this, TAlign::bottom);
  buttonPanel_->setSize(clientWidth(), 41);
  helpBtn_ = &buttonPanel_->add<TButton>("&Help");
  helpBtn_->setBounds(8, 8, 75, 25);
  helpBtn_->onClick = [this] { application().helpContext(helpContext); };
  makeBtn_ = &buttonPanel_->add<TButton>("&Make");
  makeBtn_->setBounds(clientWidth() - 83, 8, 75, 25);
  makeBtn_->setAnchors(akRight | akTop);
  makeBtn_->setEnabled(false);
  makeBtn_->onClick = [this] { makeSelected(); };

  mainPanel_ = &plainPanel(*this, TAlign::client);
  favsPanel_ = &plainPanel(*mainPanel_, TAlign::left);
  favsPanel_->setSize(160, 100);
  favsPanel_->setConstraints(138, 0);
  favsTopPanel_ = &plainPanel(*favsPanel_, TAlign::top);
  favsTopPanel_->setSize(160, 26);
  favDelBtn_ = &favsTopPanel_->add<TToolButton>("Delete");
  favUpBtn_ = &favsTopPanel_->add<TToolButton>("Move up");
  favDownBtn_ = &favsTopPanel_->add<TToolButton>("Move down");
  favDelBtn_->setBounds(2, 2, 42, 22);
  favUpBtn_->setBounds(46, 2, 50, 22);
  favDownBtn_->setBounds(98, 2, 62, 22);
  for (TToolButton* button : {favDelBtn_, favUpBtn_, favDownBtn_}) button->setEnabled(false);
  favDelBtn_->onClick = [this] { deleteSelected(); };
  favUpBtn_->onClick = [this] { moveSelected(-1); };
  favDownBtn_->onClick = [this] { moveSelected(1); };

  TListViewOptions listOptions;
  listOptions.editLabels = true;
  listOptions.readOnly = false;
  favListView_ = &favsPanel_->add<TListView>(listOptions);
  favListView_->setAlign(TAlign::client);
  favListView_->setTabStop(true);
  favListView_->addColumn("Name", 120);
  favListView_->onSelectItem = [this](int row, bool selected) {
    if (selected) selectEntry(row);
    else if (favListView_->selectedCount() == 0) showNothing();
  };
  favListView_->onEdited = [this](int row, std::string& text) {
    index_.rename(activeKind(), row, text);
    text = index_.entries(activeKind())[static_cast<size_t>(row)].caption;
    return true;
  };
  favListView_->onColumnClick = [this](int) { sortByName(); };
  favListView_->onDoubleClick = [this] { makeSelected(); };
  favListView_->onKeyDown = [this](WORD& key, TShiftState) {
    if (editingCaption()) return;
    if (key == VK_DELETE) {
      deleteSelected();
      key = 0;
    } else if (key == VK_RETURN) {
      makeSelected();
      key = 0;
    }
  };
  // The single column always spans the list.
  favListView_->onResize = [this] { favListView_->setColumnWidth(0, std::max(20, favListView_->clientWidth())); };

  vSplitter_ = &mainPanel_->add<TSplitter>(TAlign::left);
  vSplitter_->setSize(4, 100);
  rightPanel_ = &plainPanel(*mainPanel_, TAlign::client);
  noteEditPanel_ = &rightPanel_->add<TEditPanel>();
  noteEditPanel_->setAlign(TAlign::bottom);
  noteEditPanel_->setSize(300, 110);
  noteEditPanel_->setFontAttributeSets(&noteFonts_);
  noteEditPanel_->onExit = [this] { saveNotes(); };
  noteEditPanel_->onEnter = [this] {
    if (notesPopupMenu_) notesPopupMenu_->popupComponent = noteEditPanel_;
  };
  hSplitter_ = &rightPanel_->add<TSplitter>(TAlign::bottom);
  hSplitter_->setSize(300, 4);
  imagePanel_ = &rightPanel_->add<TPanel>();
  imagePanel_->setBevelOuter(TBevelCut::lowered);
  imagePanel_->setAlign(TAlign::client);
  imagePanel_->onResize = [this] { fitImage(); };
  image_ = &imagePanel_->add<TImage>();
  image_->setStretch(true);
  image_->hide();

  hints_ = std::make_unique<TToolTips>(*this);
  hints_->setHint(*favDelBtn_, "Delete");
  hints_->setHint(*favUpBtn_, "Move up");
  hints_->setHint(*favDownBtn_, "Move down");

  onClose = [this] { saveNotes(); };
}

TgalleryForm::~TgalleryForm() {
  noteEditPanel_->setEditorStatus(nullptr);
  if (notesPopupMenu_ && notesPopupMenu_->popupComponent == noteEditPanel_) notesPopupMenu_->popupComponent = nullptr;
}

void TgalleryForm::loadGallery() { loadGallery(getDirectory("<GALLERY>")); }

void TgalleryForm::loadGallery(const std::string& galleryFolder) { index_.loadGallery(galleryFolder); }

void TgalleryForm::saveGallery() {
  for (int kind = 1; kind <= TGalleryIndex::kindCount; ++kind) index_.saveIndex(kind);
}

void TgalleryForm::unloadGallery() {
  showNothing();
  favListView_->clear();
  index_.unloadGallery();
}

int TgalleryForm::activeKind() const {
  const int page = pageControl_->activePageIndex();
  return page >= 0 && page < TGalleryIndex::kindCount ? tabKinds_[page] : 0;
}

const std::string& TgalleryForm::targetDir(int kind) const {
  return kind == 1 ? targets_.chartTargetDir : kind == 2 ? targets_.graphTargetDir : targets_.browserTargetDir;
}

const std::string& TgalleryForm::prefix(int kind) const {
  return kind == 1 ? targets_.chartPrefix : kind == 2 ? targets_.graphPrefix : targets_.browserPrefix;
}

void TgalleryForm::prepare(int kind, int tabsMask, const TGalleryTargets& targets) {
  saveNotes();
  resultKind_ = 0;
  resultFile_.clear();
  targets_ = targets;
  for (std::string* folder : {&targets_.chartTargetDir, &targets_.graphTargetDir, &targets_.browserTargetDir})
    *folder = includeTrailingBackslash(*folder);
  showNothing();
  for (auto& sheet : sheets_) sheet.reset();
  TTabSheet* wanted = nullptr;
  int pages = 0;
  for (int tabKind = 1; tabKind <= TGalleryIndex::kindCount; ++tabKind) {
    if (!(tabsMask & (1 << tabKind))) continue;
    sheets_[tabKind - 1] = std::make_unique<TTabSheet>(pageControl_, tabCaptions[tabKind - 1]);
    tabKinds_[pages++] = tabKind;
    if (tabKind == kind) wanted = sheets_[tabKind - 1].get();
  }
  if (wanted) pageControl_->setActivePage(wanted);
  fillList();
}

int TgalleryForm::showAndAnswer(int& kind, std::string& resultFile) {
  if (!visible()) showModal();
  kind = resultKind_;
  resultFile = kind == 0 ? std::string() : resultFile_;
  return kind;
}

int TgalleryForm::open(int& kind, int tabsMask, const TGalleryTargets& targets, std::string& resultFile) {
  prepare(kind, tabsMask, targets);
  return showAndAnswer(kind, resultFile);
}

int TgalleryForm::add(int& kind, int tabsMask, const std::string& sourceFile, const std::string& caption,
                      const TBitmap& picture, const TGalleryTargets& targets, std::string& resultFile) {
  prepare(kind, tabsMask, targets);
  const int added = index_.add(kind, sourceFile, caption,
                               [&picture](const std::string& file) { return picture.saveToFile(file); });
  if (added >= 0 && activeKind() == kind) {
    fillList();
    favListView_->setItemIndex(added);
    favListView_->setFocus();
  }
  return showAndAnswer(kind, resultFile);
}

void TgalleryForm::pageChanged() {
  saveNotes();
  showNothing();
  fillList();
}

void TgalleryForm::fillList() {
  favListView_->beginUpdate();
  favListView_->clear();
  const int kind = activeKind();
  if (kind != 0)
    for (const TGalleryEntry& entry : index_.entries(kind)) favListView_->addItem(entry.caption);
  favListView_->endUpdate();
  favListView_->setColumnWidth(0, std::max(20, favListView_->clientWidth()));
}

void TgalleryForm::showNothing() {
  saveNotes();
  shownKind_ = 0;
  shownIndex_ = -1;
  for (TControl* button : std::initializer_list<TControl*>{favDelBtn_, favUpBtn_, favDownBtn_, makeBtn_})
    button->setEnabled(false);
  image_->hide();
  noteEditPanel_->setEditorStatus(nullptr);
}

void TgalleryForm::selectEntry(int row) {
  const int kind = activeKind();
  if (kind == 0 || row < 0 || row >= static_cast<int>(index_.entries(kind).size())) {
    showNothing();
    return;
  }
  if (kind == shownKind_ && row == shownIndex_) return;
  saveNotes();
  const int count = static_cast<int>(index_.entries(kind).size());
  favDelBtn_->setEnabled(true);
  favUpBtn_->setEnabled(row > 0);
  favDownBtn_->setEnabled(row + 1 < count);
  makeBtn_->setEnabled(false);
  if (image_->picture().loadFromFile(index_.itemFile(kind, row, ".BMP"))) {
    fitImage();
    image_->show();
    image_->invalidate();
  } else {
    image_->hide();
  }
  makeBtn_->setEnabled(!targetDir(kind).empty());

  const std::string notesFile = index_.itemFile(kind, row, ".TXT");
  noteEditPanel_->setEditorStatus(&notes_);
  // A text its file did not take shows again, as the user left it, when
  // its entry does: a read of the file would hide it, and the next save drop
  // it.
  const TColor colour = notes_.backgroundColour;
  keepDocument(std::make_unique<TEditorStatus>(std::move(notes_)));
  if (std::unique_ptr<TEditorStatus> kept = takeKeptDocument(notesFile, notesChange)) {
    notes_ = std::move(*kept);
  } else if (!fileExists(notesFile) || !notes_.loadFromFile(notesFile) || notes_.lineCount() == 0) {
    // An empty notes file reads as a document without lines, which the
    // editor does not expect: it starts from a cleared document like a
    // missing one.
    notes_.clear();
    index_.ensureNotes(kind, row);
  }
  notes_.backgroundColour = colour;
  notes_.fileName = notesFile;
  noteEditPanel_->update();
  shownKind_ = kind;
  shownIndex_ = row;
  favListView_->ensureVisible(row);
}

void TgalleryForm::saveNotes() {
  // Notes are kept whenever the user leaves them: another entry, another tab,
  // the dialog closed (Esc too); nothing typed is lost.
  if (shownIndex_ < 0 || !notes_.modified || notes_.fileName.empty()) return;
  if (saveDocumentAsking(notes_, false, systemMessageBox(), handle()) == TDocumentSave::saved) {
    forgetUnsavedChange(notes_.fileName, notesChange);
    return;
  }
  // The entry's notes may be left or the dialog closed: what the file
  // refused, or the user kept from another program's change, waits for the
  // close of the program.
  holdDocument(notes_, notesChange);
}

void TgalleryForm::fitImage() {
  const TBitmap& picture = image_->picture();
  if (picture.empty()) return;
  const int frame = imagePanel_->frameWidth();
  const TPicturePlace place =
      fitPicture(picture.width(), picture.height(), imagePanel_->clientWidth(), imagePanel_->clientHeight(), frame);
  image_->setBounds(place.left, place.top, place.width, place.height);
}

bool TgalleryForm::editingCaption() const { return ListView_GetEditControl(favListView_->handle()) != nullptr; }

void TgalleryForm::deleteSelected() {
  const int kind = activeKind();
  const int row = favListView_->itemIndex();
  if (kind == 0 || row < 0 || editingCaption()) return;
  showNothing();
  std::string refusal;
  const bool removed = index_.remove(kind, row, &refusal);
  const std::string notice = deletionNotice("The entry was", removed, refusal);
  if (!notice.empty()) systemMessageBox().show(handle(), notice, commonString(4), MB_OK | MB_ICONWARNING);
  if (!removed) {
    selectEntry(row);
    return;
  }
  favListView_->deleteItem(row);
  const int count = favListView_->itemCount();
  if (count > 0) favListView_->setItemIndex(std::min(row, count - 1));
}

void TgalleryForm::moveSelected(int step) {
  const int kind = activeKind();
  const int row = favListView_->itemIndex();
  if (kind == 0 || row < 0 || editingCaption() || !index_.swap(kind, row, row + step)) return;
  saveNotes();
  shownIndex_ = -1;
  const auto& entries = index_.entries(kind);
  favListView_->setItemText(row, 0, entries[static_cast<size_t>(row)].caption);
  favListView_->setItemText(row + step, 0, entries[static_cast<size_t>(row + step)].caption);
  favListView_->setItemIndex(row + step);
  selectEntry(row + step);
}

void TgalleryForm::sortByName() {
  const int kind = activeKind();
  if (kind == 0) return;
  showNothing();
  favListView_->toggleSortKey(0);
  index_.sortByCaption(kind, favListView_->tag < 0);
  fillList();
}

void TgalleryForm::makeSelected() {
  const int kind = activeKind();
  const int row = favListView_->itemIndex();
  if (kind == 0 || row < 0 || targetDir(kind).empty() || editingCaption()) return;
  const std::string made = index_.make(kind, row, targetDir(kind), prefix(kind));
  if (made.empty()) return;  // the dialog stays open
  resultKind_ = kind;
  resultFile_ = made;
  saveNotes();
  if (modal()) setModalResult(mrOk);
  else close();
}

bool TgalleryForm::dialogKey(WORD key, TShiftState shift) {
  if (key == VK_ESCAPE && !(shift & (ssCtrl | ssAlt))) {
    close();
    return true;
  }
  return TForm::dialogKey(key, shift);
}

void TgalleryForm::setNotesPopupMenu(TPopupMenu* menu) {
  notesPopupMenu_ = menu;
  noteEditPanel_->setPopupMenu(menu);
}

void TgalleryForm::loadGUIoptions(const TPortableIniFile& ini) {
  // The gallery opens modal: off the screen it could not even be closed.
  const RECT workArea = screenWorkArea();
  const RECT sized = fitOnWorkArea(0, 0, ini.readInteger(layoutSection, "Width", this->width()),
                                   ini.readInteger(layoutSection, "Height", this->height()), workArea,
                                   galleryMinimumSize);
  // The form keeps to its own smallest size, which places it then.
  setSize(sized.right - sized.left, sized.bottom - sized.top);
  const int width = this->width();
  const int height = this->height();
  const int left = ini.readInteger(layoutSection, "Left", (workArea.left + workArea.right - width) / 2);
  const int top = ini.readInteger(layoutSection, "Top", (workArea.top + workArea.bottom - height) / 2);
  const RECT placed = fitOnWorkArea(left, top, width, height, workArea, galleryMinimumSize);
  setBounds(placed.left, placed.top, width, height);
  const int favsWidth = ini.readInteger(layoutSection, "FavsWidth", favsPanel_->width());
  favsPanel_->setSize(std::clamp(favsWidth, 0, width / 2), favsPanel_->height());
  const int notesHeight = ini.readInteger(layoutSection, "NotesHeight", noteEditPanel_->height());
  noteEditPanel_->setSize(noteEditPanel_->width(), std::clamp(notesHeight, 0, height / 2));
  const int notesColour = ini.readInteger(layoutSection, "NotesColor", notes_.backgroundColour);
  if (isValidColor(notesColour)) notes_.backgroundColour = notesColour;
  TFontProperties font = fontPropertiesOf(*noteFonts_.find(0));
  ini.readFont(layoutSection, "NotesFont", font);
  noteFonts_.add(fontAttributesOf(font));
  realign();
}

void TgalleryForm::saveGUIoptions(TPortableIniFile& ini) const {
  const RECT at = bounds();
  ini.writeInteger(layoutSection, "Width", at.right - at.left);
  ini.writeInteger(layoutSection, "Height", at.bottom - at.top);
  ini.writeInteger(layoutSection, "Left", at.left);
  ini.writeInteger(layoutSection, "Top", at.top);
  ini.writeInteger(layoutSection, "FavsWidth", favsPanel_->width());
  ini.writeInteger(layoutSection, "NotesHeight", noteEditPanel_->height());
  ini.writeInteger(layoutSection, "NotesColor", notes_.backgroundColour);
  ini.writeFont(layoutSection, "NotesFont", fontPropertiesOf(*noteFonts_.find(0)));
}

void TgalleryForm::busy() {
  setEnabled(false);
  application().busy();
}

void TgalleryForm::available() {
  application().available();
  setEnabled(true);
}
