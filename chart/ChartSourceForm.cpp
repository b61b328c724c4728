#include "chart/ChartSourceForm.h"

#include "platform/Application.h"
#include "platform/Panel.h"
#include "platform/StdControls.h"

TchartSourceForm::TchartSourceForm(const std::string& dataFolder) : TSourceEditorForm(true, dataFolder, helpContext) {
  TPanel& panel = *formulaPanel_;
  const char* captions[] = {"Open", "High", "Low", "Close"};
  TEdit** edits[] = {&openEdit_, &highEdit_, &lowEdit_, &closeEdit_};
  const int width = panel.clientWidth() - 66 - 180;
  for (int i = 0; i < 4; ++i) {
    *edits[i] = &formulaEdit(panel, captions[i], 3 + i * 25, width);
    stepLineBtns_[i] = &panel.add<TCheckBox>("Step line");
    stepLineBtns_[i]->setBounds(panel.clientWidth() - 176, 5 + i * 25, 80, 18);
    stepLineBtns_[i]->setAnchors(akTop | akRight);
    ohlcBtns_[i] = &panel.add<TCheckBox>("OHLC");
    ohlcBtns_[i]->setBounds(panel.clientWidth() - 90, 5 + i * 25, 60, 18);
    ohlcBtns_[i]->setAnchors(akTop | akRight);
    stepLineBtns_[i]->onClick = [this, i] {
      auto* source = dynamic_cast<TChartSource*>(model_.currentSource());
      if (source == nullptr || fillingFields_) return;
      bool* flags[] = {&source->StepLineOpen, &source->StepLineHigh, &source->StepLineLow, &source->StepLineClose};
      *flags[i] = stepLineBtns_[i]->checked();
    };
    ohlcBtns_[i]->onClick = [this, i] {
      auto* source = dynamic_cast<TChartSource*>(model_.currentSource());
      if (source == nullptr || fillingFields_) return;
      bool* flags[] = {&source->ohlcOpen, &source->ohlcHigh, &source->ohlcLow, &source->ohlcClose};
      *flags[i] = ohlcBtns_[i]->checked();
    };
  }
  profileEdit_ = &formulaEdit(panel, "Profile", 3 + 4 * 25, width);
  textEdit_ = &formulaEdit(panel, "Text", 3 + 5 * 25, width);
  imageEdit_ = &formulaEdit(panel, "Image", 3 + 6 * 25, width);
  addCodeControls(panel, 3 + 5 * 25, 3 + 6 * 25, panel.clientWidth() - 176);
}

bool TchartSourceForm::editSources(TSourceTable& table, TSourceTable* favourites,
                                   std::function<void(TchartSourceForm*)> apply) {
  std::function<void()> applyCall;
  if (apply) applyCall = [this, apply] { apply(this); };
  beginEditing(table, favourites, applyCall);
  showModal();
  return finishEditing();
}

void TchartSourceForm::showFormulas() {
  TSourceEditorForm::showFormulas();
  const auto* source = dynamic_cast<const TChartSource*>(model_.currentSource());
  fillingFields_ = true;
  openEdit_->setText(source ? source->Open : "");
  highEdit_->setText(source ? source->High : "");
  lowEdit_->setText(source ? source->Low : "");
  profileEdit_->setText(source ? source->Volume : "");
  const bool stepLines[] = {source && source->StepLineOpen, source && source->StepLineHigh,
                            source && source->StepLineLow, source && source->StepLineClose};
  const bool ohlc[] = {source && source->ohlcOpen, source && source->ohlcHigh, source && source->ohlcLow,
                       source && source->ohlcClose};
  for (int i = 0; i < 4; ++i) {
    stepLineBtns_[i]->setChecked(stepLines[i]);
    ohlcBtns_[i]->setChecked(ohlc[i]);
  }
  fillingFields_ = false;
}

void TchartSourceForm::storeFormula(TEdit& edit) {
  TSourceEditorForm::storeFormula(edit);
  auto* source = dynamic_cast<TChartSource*>(model_.currentSource());
  if (source == nullptr) return;
  if (&edit == openEdit_) source->Open = edit.text();
  if (&edit == highEdit_) source->High = edit.text();
  if (&edit == lowEdit_) source->Low = edit.text();
  if (&edit == profileEdit_) source->Volume = edit.text();
}
