#pragma once
#include <functional>
#include <memory>
#include <string>

#include "controls/EditorStatus.h"
#include "controls/FontAttributeSets.h"
#include "controls/GalleryIndex.h"
#include "platform/Form.h"

class TBitmap;
class TButton;
class TEditPanel;
class TImage;
class TListView;
class TPageControl;
class TPanel;
class TPopupMenu;
class TPortableIniFile;
class TSplitter;
class TTabSheet;
class TToolButton;
class TToolTips;

// Where made views go: per kind (1 charts, 2 graphs, 3 browsers) the
// caller's view folder and the file name prefix of new views there. An
// empty folder means views of that kind cannot be made.
struct TGalleryTargets {
  std::string chartTargetDir, graphTargetDir, browserTargetDir;
  std::string chartPrefix, graphPrefix, browserPrefix;
};

// The tabs mask of open and add that shows only the tab of the kind.
constexpr int galleryTabOf(int kind) { return 1 << kind; }

// The gallery of saved views: tabs for charts, graphs and browsers, the
// items of the active tab with their picture and notes, and Make, which
// copies the chosen item into the caller's view folder.
class TgalleryForm : public TForm {
 public:

  explicit TgalleryForm(HWND owner = nullptr);
  ~TgalleryForm() override;

  // Reads the indexes under the gallery folder (<GALLERY>).
  void loadGallery();
  void loadGallery(const std::string& galleryFolder);
  void saveChartGallery() { index_.saveIndex(1); }
  void saveGraphGallery() { index_.saveIndex(2); }
  void saveBrowserGallery() { index_.saveIndex(3); }
  void saveGallery();
  void unloadGallery();

  // Shows the tabs of the mask (bit 1 charts, bit 2 graphs, bit 3 browsers)
  // with the given kind's tab active when shown, modally unless already
  // showing. The kind of the view made (0 for none) and its file (empty
  // for none).
  int open(int& kind, int tabsMask, const TGalleryTargets& targets, std::string& resultFile);
  // Files a view (its settings file, caption and picture) under the kind,
  // then shows the gallery as open does.
  int add(int& kind, int tabsMask, const std::string& sourceFile, const std::string& caption,
          const TBitmap& picture, const TGalleryTargets& targets, std::string& resultFile);

  void setNotesPopupMenu(TPopupMenu* menu);
  void loadTranslations(const std::string&) {}
  void loadGUIoptions(const TPortableIniFile& ini);
  void saveGUIoptions(TPortableIniFile& ini) const;
  void busy();
  void available();


  // The kind of the active tab (0 when none shows).
  int activeKind() const;
  TGalleryIndex& galleryIndex() { return index_; }
  TPageControl& pageControl() const { return *pageControl_; }
  TListView& favListView() const { return *favListView_; }
  TToolButton& favDelBtn() const { return *favDelBtn_; }
  TToolButton& favUpBtn() const { return *favUpBtn_; }
  TToolButton& favDownBtn() const { return *favDownBtn_; }
  TImage& image() const { return *image_; }
  TPanel& imagePanel() const { return *imagePanel_; }
  TEditPanel& noteEditPanel() const { return *noteEditPanel_; }
  TButton& makeBtn() const { return *makeBtn_; }
  const TEditorStatus& notes() const { return notes_; }

  // The list's commands, as the buttons and keys give them.
  void selectEntry(int row);
  void deleteSelected();
  void moveSelected(int step);
  void makeSelected();
  void sortByName();

  // Esc closes without making a view.
  bool dialogKey(WORD key, TShiftState shift) override;

 private:
  void prepare(int kind, int tabsMask, const TGalleryTargets& targets);
  int showAndAnswer(int& kind, std::string& resultFile);
  void pageChanged();
  void fillList();
  void showNothing();
  void saveNotes();
  void fitImage();
  const std::string& targetDir(int kind) const;
  const std::string& prefix(int kind) const;
  bool editingCaption() const;

  TGalleryIndex index_;
  TGalleryTargets targets_;
  TEditorStatus notes_;
  TFontAttributeSets noteFonts_;
  int resultKind_ = 0;
  std::string resultFile_;
  int shownKind_ = 0;
  int shownIndex_ = -1;  // the entry whose notes and picture show
  int tabKinds_[TGalleryIndex::kindCount] = {};
  std::unique_ptr<TTabSheet> sheets_[TGalleryIndex::kindCount];

  TPageControl* pageControl_ = nullptr;
  TPanel* mainPanel_ = nullptr;
  TPanel* favsPanel_ = nullptr;
  TPanel* favsTopPanel_ = nullptr;
  TToolButton* favDelBtn_ = nullptr;
  TToolButton* favUpBtn_ = nullptr;
  TToolButton* favDownBtn_ = nullptr;
  TListView* favListView_ = nullptr;
  TSplitter* vSplitter_ = nullptr;
  TPanel* rightPanel_ = nullptr;
  TPanel* imagePanel_ = nullptr;
  TImage* image_ = nullptr;
  TSplitter* hSplitter_ = nullptr;
  TEditPanel* noteEditPanel_ = nullptr;
  TPanel* buttonPanel_ = nullptr;
  TButton* helpBtn_ = nullptr;
  TButton* makeBtn_ = nullptr;
  std::unique_ptr<TToolTips> hints_;
  TPopupMenu* notesPopupMenu_ = nullptr;
};
