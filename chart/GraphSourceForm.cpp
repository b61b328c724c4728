#include "chart/GraphSourceForm.h"

#include "chart/PointMarker.h"
#include "model/TextFormatting.h"
#include "platform/Canvas.h"
#include "platform/Panel.h"
#include "platform/StdControls.h"

TgraphSourceForm::TgraphSourceForm(const std::string& dataFolder) : TSourceEditorForm(false, dataFolder, helpContext) {
  TPanel& panel = *formulaPanel_;
  const int width = panel.clientWidth() - 66 - 200;
  closeEdit_ = &formulaEdit(panel, "y = f(x)", 3, width);
  stepLineBtn_ = &panel.add<TCheckBox>("Step line");
  stepLineBtn_->setBounds(panel.clientWidth() - 196, 5, 80, 18);
  stepLineBtn_->setAnchors(akTop | akRight);
  stepLineBtn_->onClick = [this] {
    if (TSource* source = model_.currentSource(); source != nullptr && !fillingFields_) {
      source->StepLineClose = stepLineBtn_->checked();
    }
  };
  pointComboBox_ = &panel.add<TComboBox>(TComboStyle::ownerDrawList);
  pointComboBox_->setBounds(panel.clientWidth() - 110, 3, 100, 22);
  pointComboBox_->setAnchors(akTop | akRight);
  for (int kind = pkNone; kind <= pkDiamond; ++kind) pointComboBox_->addItem(std::to_string(kind));
  // All ten kinds in sight at once, to pick by their look.
  pointComboBox_->dropDownHeight =
      (pkDiamond + 1) * static_cast<int>(SendMessageA(pointComboBox_->handle(), CB_GETITEMHEIGHT, 0, 0)) + 2;
  // Each kind as the graph draws it, filled in the pen's colour.
  pointComboBox_->onDrawItem = [](TCanvas& canvas, int kind, const RECT& place) {
    canvas.setPen(markerBoxPenColor);
    canvas.setBrush(markerBoxPenColor);
    drawPointMarker(canvas, (place.left + place.right) / 2, (place.top + place.bottom) / 2, 1, kind);
  };
  pointComboBox_->onChange = [this] {
    if (TSource* source = model_.currentSource(); source != nullptr && !fillingFields_) {
      source->PointKind = static_cast<std::uint8_t>(std::max(0, pointComboBox_->itemIndex()));
    }
  };
  textEdit_ = &formulaEdit(panel, "Text", 3 + 25, width);
  imageEdit_ = &formulaEdit(panel, "Image", 3 + 2 * 25, width);
  addCodeControls(panel, 3 + 25, 3 + 2 * 25, panel.clientWidth() - 196);
}

void TgraphSourceForm::setXFormulas(const std::string& fromX, const std::string& toX, const std::string& steps) {
  fromXEdit_->setText(fromX);
  toXEdit_->setText(toX);
  xStepsEdit_->setText(steps);
}

void TgraphSourceForm::getXFormulas(std::string& fromX, std::string& toX, std::string& steps) const {
  fromX = trimBlanks(fromXEdit_->text());
  toX = trimBlanks(toXEdit_->text());
  steps = trimBlanks(xStepsEdit_->text());
}

bool TgraphSourceForm::editSources(
    TSourceTable& table, TSourceTable* favourites,
    std::function<void(const std::string&, const std::string&, const std::string&)> apply, std::string& fromX,
    std::string& toX, std::string& steps) {
  setXFormulas(fromX, toX, steps);
  std::function<void()> applyCall;
  if (apply) {
    applyCall = [this, apply] {
      std::string from, to, count;
      getXFormulas(from, to, count);
      apply(from, to, count);
    };
  }
  beginEditing(table, favourites, applyCall);
  showModal();
  const bool result = finishEditing();
  if (result) getXFormulas(fromX, toX, steps);
  return result;
}

void TgraphSourceForm::showFormulas() {
  TSourceEditorForm::showFormulas();
  const TSource* source = model_.currentSource();
  fillingFields_ = true;
  stepLineBtn_->setChecked(source != nullptr && source->StepLineClose);
  pointComboBox_->setItemIndex(source != nullptr ? source->PointKind : -1);
  fillingFields_ = false;
}
