#pragma once
#include <memory>
#include <string>

#include "controls/EditorStatus.h"
#include "controls/FontAttributeSets.h"
#include "platform/Form.h"

class TButton;
class TEditPanel;
class TPopupMenu;
class TToolTips;

// A plain-text editor dialog for a list the user edits as lines of text.
class TeditAsTextForm : public TForm {
 public:
  TeditAsTextForm();
  ~TeditAsTextForm() override;

  void loadTranslations() {}
  bool accepted() const { return accepted_; }

  TEditPanel& editPanel() const { return *editPanel_; }
  TEditorStatus& document() { return document_; }
  TFontAttributeSets& fontAttributeSets() { return fonts_; }
  TButton& okBtn() const { return *okBtn_; }
  TButton& discardBtn() const { return *discardBtn_; }
  TToolTips& hints() const { return *hints_; }

 private:
  TEditorStatus document_;
  TFontAttributeSets fonts_;
  TEditPanel* editPanel_ = nullptr;
  TButton* okBtn_ = nullptr;
  TButton* discardBtn_ = nullptr;
  std::unique_ptr<TToolTips> hints_;
  bool accepted_ = false;
};

// Shows the text in the dialog, with its layout from and back to the layout
// file (section "EditAsText"). On OK the text becomes the edited lines
// joined with CR LF, and the answer is true.
bool editAsText(const std::string& layoutFile, const std::string& languageFile, TPopupMenu* popupMenu,
                std::string& text);

// The lines of a document joined with CR LF, without a line end after the last.
std::string joinedLines(const TEditorStatus& document);
