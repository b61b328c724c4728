#include "windows/SumTransForm.h"

#include <cmath>

#include "controls/ToolGlyphs.h"
#include "model/PortableIniFile.h"
#include "platform/Application.h"
#include "platform/Bevel.h"
#include "platform/DateTimePicker.h"
#include "platform/StdControls.h"
#include "platform/ToolTips.h"

namespace {

constexpr const char* optionsSection = "SumTransactions";

TFormOptions sumTransFormOptions() {
  return dialogOptions("Merge transactions", 297, 209, true);
}

}  // namespace

TsumTransForm::TsumTransForm() : TForm(sumTransFormOptions()) {
  helpContext = 1420;
  hints_ = std::make_unique<TToolTips>(*this);
  // Each group: its caption over a line (a frame would hide the controls
  // inside, which lie on the form).
  auto addBox = [this](const char* caption, int top) {
    add<TLabel>(caption).setBounds(8, top - 8, 160, 15);
    TBevel& line = add<TBevel>(TBevelShape::topLine, TBevelCut::lowered);
    line.setBounds(8, top + 8, 281, 2);
    return &line;
  };
  auto addPickerLine = [this](int top, const char* caption, TDateTimePicker*& picker,
                              TButton*& firstBtn, TButton*& lastBtn) {
    add<TLabel>(caption).setBounds(20, top + 3, 40, 17);
    picker = &add<TDateTimePicker>();
    picker->setKind(TDateTimeKind::date);
    picker->setBounds(64, top, 137, 21);
    firstBtn = &add<TButton>("First transaction date");
    setButtonGlyph(*firstBtn, "FIRSTDATEBMP");
    firstBtn->setBounds(209, top, 33, 21);
    hints_->setHint(*firstBtn, "First transaction date");
    lastBtn = &add<TButton>("Last transaction date");
    setButtonGlyph(*lastBtn, "LASTDATEBMP");
    lastBtn->setBounds(246, top, 33, 21);
    hints_->setHint(*lastBtn, "Last transaction date");
  };
  addPickerLine(22, "Start", startDateTimePicker_, startFirstDateBtn_, startLastDateBtn_);
  addPickerLine(50, "End", endDateTimePicker_, endFirstDateBtn_, endLastDateBtn_);
  delCheckBox_ = &add<TCheckBox>("Delete source transactions");
  delCheckBox_->setBounds(20, 80, 259, 19);
  delCheckBox_->setTabStop(true);
  delCheckBox_->setChecked(true);
  addPickerLine(134, "Date", destinationDateTimePicker_, dstFirstDateBtn_, dstLastDateBtn_);
  sourceGroupBox_ = addBox("Source transactions", 10);
  destinationGroupBox_ = addBox("Destination transaction", 120);

  startDateTimePicker_->onChange = [this] {
    dates_.setStart(std::trunc(startDateTimePicker_->dateTime()));
    showDates();
  };
  endDateTimePicker_->onChange = [this] {
    dates_.setEnd(std::trunc(endDateTimePicker_->dateTime()));
    showDates();
  };
  destinationDateTimePicker_->onChange = [this] {
    dates_.setDestination(std::trunc(destinationDateTimePicker_->dateTime()));
  };
  startFirstDateBtn_->onClick = [this] { dates_.setStart(dates_.lowest()), showDates(); };
  startLastDateBtn_->onClick = [this] { dates_.setStart(dates_.highest()), showDates(); };
  endFirstDateBtn_->onClick = [this] { dates_.setEnd(dates_.lowest()), showDates(); };
  endLastDateBtn_->onClick = [this] { dates_.setEnd(dates_.highest()), showDates(); };
  dstFirstDateBtn_->onClick = [this] { dates_.setDestination(dates_.lowest()), showDates(); };
  dstLastDateBtn_->onClick = [this] { dates_.setDestination(dates_.highest()), showDates(); };

  helpBtn_ = &add<TButton>("&Help");
  helpBtn_->setBounds(134, 178, 75, 25);
  helpBtn_->setTabStop(true);
  helpBtn_->onClick = [this] { application().helpContext(helpContext); };
  okBtn_ = &addDefaultButton("&OK", 214, 178, 75, 25, [this] { okBtnClick(); });
  closeOnEscape();
  setBounds((GetSystemMetrics(SM_CXSCREEN) - width()) / 2, (GetSystemMetrics(SM_CYSCREEN) - height()) / 2, width(),
            height());
}

TsumTransForm::~TsumTransForm() = default;

bool TsumTransForm::execute(double& start, double& end, bool& deleteSource, double& destination, double lowest,
                            double highest) {
  accepted_ = false;
  dates_.reset(std::trunc(start), std::trunc(end), std::trunc(destination), std::trunc(lowest),
               std::trunc(highest));
  showDates();
  if (!visible()) showModal();
  if (accepted_) {
    start = dates_.start();
    end = dates_.end();
    destination = dates_.destination();
    deleteSource = delCheckBox_->checked();
  }
  return accepted_;
}

void TsumTransForm::showDates() {
  startDateTimePicker_->setDateTime(dates_.start());
  endDateTimePicker_->setDateTime(dates_.end());
  destinationDateTimePicker_->setDateTime(dates_.destination());
}

void TsumTransForm::okBtnClick() {
  accepted_ = true;
  setModalResult(mrOk);
}

void TsumTransForm::loadGUIoptions(const std::string& fileName) {
  const TPortableIniFile ini(fileName);
  setBounds(ini.readInteger(optionsSection, "Left", left()), ini.readInteger(optionsSection, "Top", top()), width(),
            height());
  delCheckBox_->setChecked(ini.readBool(optionsSection, "Delete", delCheckBox_->checked()));
  // A place the file spells so that it reads as none stays as spelled
  // until the user moves the dialog.
  // The rest of the file, the other windows' layout, is known too: the
  // save of this part checks all of it.
  savedGUIoptions_.takeWithTheRest(fileName, [this](TPortableIniFile& file) { writeGUIoptions(file); }, ini);
}

void TsumTransForm::saveGUIoptions(const std::string& fileName) {
  savedGUIoptions_.save(fileName, [this](TPortableIniFile& ini) { writeGUIoptions(ini); });
}

void TsumTransForm::writeGUIoptions(TPortableIniFile& ini) const {
  ini.writeInteger(optionsSection, "Left", left());
  ini.writeInteger(optionsSection, "Top", top());
  ini.writeBool(optionsSection, "Delete", delCheckBox_->checked());
}
