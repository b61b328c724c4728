#include "windows/DelTransForm.h"

#include "controls/SpinButton.h"
#include "controls/ToolGlyphs.h"
#include "model/PortableIniFile.h"
#include "platform/Application.h"
#include "platform/Bevel.h"
#include "platform/StdControls.h"
#include "platform/ToolTips.h"

namespace {

constexpr const char* optionsSection = "DelTransactions";

TFormOptions delTransFormOptions() {
  return dialogOptions("Delete transactions", 281, 129, false);
}

}  // namespace

TdelTransForm::TdelTransForm() : TForm(delTransFormOptions()) {
  helpContext = 1430;
  hints_ = std::make_unique<TToolTips>(*this);
  auto addLine = [this](int top, const char* caption, TEdit*& edit, TSpinButton*& upDown, TButton*& firstBtn,
                        TButton*& lastBtn) {
    // On the form within the box's frame: children of a group box get no
    // background of their own.
    add<TLabel>(caption).setBounds(20, top + 7, 40, 17);
    edit = &add<TEdit>();
    edit->setBounds(64, top + 4, 105, 21);
    edit->setTabStop(true);
    edit->setText("0");
    upDown = &add<TSpinButton>();
    upDown->setBounds(169, top + 4, 16, 21);
    firstBtn = &add<TButton>("First transaction number");
    setButtonGlyph(*firstBtn, "FIRSTDATEBMP");
    firstBtn->setBounds(193, top + 4, 33, 21);
    hints_->setHint(*firstBtn, "First transaction number");
    lastBtn = &add<TButton>("Last transaction number");
    setButtonGlyph(*lastBtn, "LASTDATEBMP");
    lastBtn->setBounds(230, top + 4, 33, 21);
    hints_->setHint(*lastBtn, "Last transaction number");
  };
  addLine(22, "Start", startTransNrEdit_, startTransNrUpDown_, startFirstNrBtn_, startLastNrBtn_);
  addLine(52, "End", endTransNrEdit_, endTransNrUpDown_, endFirstNrBtn_, endLastNrBtn_);
  // The group's caption over a line (a frame would hide the controls inside,
  // which lie on the form).
  add<TLabel>("Transaction number range").setBounds(8, 2, 160, 15);
  transNrGroupBox_ = &add<TBevel>(TBevelShape::topLine, TBevelCut::lowered);
  transNrGroupBox_->setBounds(8, 18, 265, 2);
  for (TEdit* edit : {startTransNrEdit_, endTransNrEdit_}) {
    edit->onExit = [this] { validate(); };
    edit->onClick = [this] { validate(); };
  }
  startTransNrUpDown_->onSpin = [this](int direction) {
    validate();
    range_.stepStart(direction);
    showRange();
  };
  endTransNrUpDown_->onSpin = [this](int direction) {
    validate();
    range_.stepEnd(direction);
    showRange();
  };
  startFirstNrBtn_->onClick = [this] { range_.setStart(range_.lowest()), showRange(); };
  startLastNrBtn_->onClick = [this] { range_.setStart(range_.highest()), showRange(); };
  endFirstNrBtn_->onClick = [this] { range_.setEnd(range_.lowest()), showRange(); };
  endLastNrBtn_->onClick = [this] { range_.setEnd(range_.highest()), showRange(); };
  helpBtn_ = &add<TButton>("&Help");
  helpBtn_->setBounds(118, 98, 75, 25);
  helpBtn_->setTabStop(true);
  helpBtn_->onClick = [this] { application().helpContext(helpContext); };
  okBtn_ = &addDefaultButton("&OK", 198, 98, 75, 25, [this] { okBtnClick(); });
  closeOnEscape();
  // Centred until the options say otherwise.
  setBounds((GetSystemMetrics(SM_CXSCREEN) - width()) / 2, (GetSystemMetrics(SM_CYSCREEN) - height()) / 2, width(),
            height());
}

TdelTransForm::~TdelTransForm() = default;

bool TdelTransForm::execute(int32_t a, int32_t b, int32_t& first, int32_t& last) {
  accepted_ = false;
  range_.reset(a, b, first, last);
  showRange();
  startTransNrEdit_->setFocus();
  if (!visible()) showModal();
  if (accepted_) {
    first = range_.start();
    last = range_.end();
  }
  return accepted_;
}

void TdelTransForm::validate() {
  // Only an edit the user changed is read: reading both would let the
  // untouched one undo what the other just dragged along.
  if (startTransNrEdit_->text() != std::to_string(range_.start())) range_.typeStart(startTransNrEdit_->text());
  if (endTransNrEdit_->text() != std::to_string(range_.end())) range_.typeEnd(endTransNrEdit_->text());
  showRange();
}

void TdelTransForm::showRange() {
  const std::string start = std::to_string(range_.start());
  const std::string end = std::to_string(range_.end());
  if (startTransNrEdit_->text() != start) startTransNrEdit_->setText(start);
  if (endTransNrEdit_->text() != end) endTransNrEdit_->setText(end);
}

void TdelTransForm::okBtnClick() {
  validate();
  accepted_ = true;
  setModalResult(mrOk);
}

void TdelTransForm::loadGUIoptions(const std::string& fileName) {
  const TPortableIniFile ini(fileName);
  setBounds(ini.readInteger(optionsSection, "Left", left()), ini.readInteger(optionsSection, "Top", top()), width(),
            height());
  // A place the file spells so that it reads as none stays as spelled
  // until the user moves the dialog.
  // The rest of the file, the other windows' layout, is known too: the
  // save of this part checks all of it.
  savedGUIoptions_.takeWithTheRest(fileName, [this](TPortableIniFile& file) { writeGUIoptions(file); }, ini);
}

void TdelTransForm::saveGUIoptions(const std::string& fileName) {
  savedGUIoptions_.save(fileName, [this](TPortableIniFile& ini) { writeGUIoptions(ini); });
}

void TdelTransForm::writeGUIoptions(TPortableIniFile& ini) const {
  ini.writeInteger(optionsSection, "Left", left());
  ini.writeInteger(optionsSection, "Top", top());
}
