#include "controls/EditAsTextForm.h"

#include "controls/EditPanel.h"
#include "model/PortableIniFile.h"
#include "model/SettingsBaseline.h"
#include "platform/Menu.h"
#include "platform/StdControls.h"
#include "platform/ToolTips.h"

namespace {

const char* const layoutSection = "EditAsText";

TFormOptions editAsTextOptions() {
  TFormOptions options;
  options.caption = "Edit as text";
  options.clientWidth = 536;
  options.clientHeight = 356;
  options.minimizeBox = false;
  return options;
}

}  // namespace

TeditAsTextForm::TeditAsTextForm() : TForm(editAsTextOptions()) {
  setConstraints(400, 200);
  document_.backgroundColour = clWindow;
  fonts_.add(fontAttributesOf(TFontProperties{}));
  editPanel_ = &add<TEditPanel>();
  editPanel_->setBounds(8, 8, 520, 305);
  editPanel_->setAnchors(akLeft | akTop | akRight | akBottom);
  okBtn_ = &add<TButton>("&OK");
  okBtn_->setBounds(372, 323, 75, 25);
  okBtn_->setAnchors(akRight | akBottom);
  okBtn_->setTabStop(true);
  okBtn_->onClick = [this] {
    accepted_ = true;
    setModalResult(mrOk);
  };
  discardBtn_ = &add<TButton>("&Cancel");
  discardBtn_->setBounds(453, 323, 75, 25);
  discardBtn_->setAnchors(akRight | akBottom);
  discardBtn_->setTabStop(true);
  discardBtn_->onClick = [this] { setModalResult(mrCancel); };
  cancelButton = discardBtn_;
  hints_ = std::make_unique<TToolTips>(*this);
  hints_->setHint(*okBtn_, "Close and keep changes");
  hints_->setHint(*discardBtn_, "Close and discard changes");
  editPanel_->setEditorStatus(&document_);
  editPanel_->setFontAttributeSets(&fonts_);
}

TeditAsTextForm::~TeditAsTextForm() = default;

std::string joinedLines(const TEditorStatus& document) {
  std::string text;
  for (int line = 0; line < document.lineCount(); ++line) {
    if (line > 0) text += "\r\n";
    text += document.lines[line];
  }
  return text;
}

bool editAsText(const std::string& layoutFile, const std::string&, TPopupMenu* popupMenu, std::string& text) {
  TeditAsTextForm form;
  form.loadTranslations();
  TEditPanel& panel = form.editPanel();
  const auto write = [&form](TPortableIniFile& layout) {
    const RECT at = form.bounds();
    layout.writeInteger(layoutSection, "Left", at.left);
    layout.writeInteger(layoutSection, "Top", at.top);
    layout.writeInteger(layoutSection, "Width", at.right - at.left);
    layout.writeInteger(layoutSection, "Height", at.bottom - at.top);
    layout.writeInteger(layoutSection, "Color", form.document().backgroundColour);
    layout.writeFont(layoutSection, "Font", fontPropertiesOf(*form.fontAttributeSets().find(0)));
  };
  // The place is saved against what the file held when read: what another
  // program wrote into the file meanwhile stays.
  TSettingsBaseline saved;
  {
    const TPortableIniFile layout(layoutFile);
    RECT workArea{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    const int width = layout.readInteger(layoutSection, "Width", form.width());
    const int height = layout.readInteger(layoutSection, "Height", form.height());
    const int left = layout.readInteger(layoutSection, "Left", (workArea.left + workArea.right - width) / 2);
    const int top = layout.readInteger(layoutSection, "Top", (workArea.top + workArea.bottom - height) / 2);
    form.setBounds(left, top, width, height);
    form.document().backgroundColour = layout.readInteger(layoutSection, "Color", form.document().backgroundColour);
    TFontProperties font = fontPropertiesOf(*form.fontAttributeSets().find(0));
    layout.readFont(layoutSection, "Font", font);
    form.fontAttributeSets().add(fontAttributesOf(font));
    saved.take(layoutFile, write, layout);
  }
  panel.setPopupMenu(popupMenu);
  if (popupMenu) popupMenu->popupComponent = &panel;
  panel.insertText(text);
  form.showModal();
  if (popupMenu && popupMenu->popupComponent == &panel) popupMenu->popupComponent = nullptr;
  saved.save(layoutFile, write);
  if (form.accepted()) text = joinedLines(form.document());
  return form.accepted();
}
