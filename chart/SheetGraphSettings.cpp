#include "chart/SheetGraphSettings.h"

void TSheetGraphSettings::clear() {
  portfolioTable = nullptr;
  fromDate = toDate = 0;
  portfolioIndex = assetIndex = -1;
  logarithmic = built = false;
  usesFromDate = usesToDate = usesIsLog = false;
  topTextIsFormula = bottomTextIsFormula = false;
  usesAsset = usesPortfolio = false;
  topText.clear();
  bottomText.clear();
  fromXFormula.clear();
  toXFormula.clear();
  stepsFormula.clear();
  fromX = toX = 0;
}

void TSheetChartSettings::clear() {
  TSheetGraphSettings::clear();
  fromXFormula = "FROM_DATE";
  toXFormula = "TO_DATE";
  stepsFormula = "TO_DATE - FROM_DATE + 1";
}

void TSheetGraphSettings::assign(const TSheetGraphSettings* other) {
  if (other == nullptr) {
    clear();
    return;
  }
  if (other == this) return;
  portfolioTable = other->portfolioTable;
  fromDate = other->fromDate;
  toDate = other->toDate;
  portfolioIndex = other->portfolioIndex;
  assetIndex = other->assetIndex;
  logarithmic = other->logarithmic;
  built = other->built;
  usesFromDate = other->usesFromDate;
  usesToDate = other->usesToDate;
  usesIsLog = other->usesIsLog;
  topTextIsFormula = other->topTextIsFormula;
  bottomTextIsFormula = other->bottomTextIsFormula;
  usesAsset = other->usesAsset;
  usesPortfolio = other->usesPortfolio;
  topText = other->topText;
  bottomText = other->bottomText;
  fromXFormula = other->fromXFormula;
  toXFormula = other->toXFormula;
  stepsFormula = other->stepsFormula;
  fromX = other->fromX;
  toX = other->toX;
}

bool TSheetGraphSettings::setTopText(const std::string& text) {
  topText = text;
  topTextIsFormula = !text.empty() && text[0] == '=';
  return topTextIsFormula;
}

bool TSheetGraphSettings::setBottomText(const std::string& text) {
  bottomText = text;
  bottomTextIsFormula = !text.empty() && text[0] == '=';
  return bottomTextIsFormula;
}

bool TSheetGraphSettings::needsRebuild(const TSheetGraphSettings* other) const {
  if (other == nullptr || !built) return true;
  if (portfolioTable != other->portfolioTable) return true;
  if (usesPortfolio && portfolioIndex != other->portfolioIndex) return true;
  if (usesAsset && assetIndex != other->assetIndex) return true;
  if (fromXFormula != other->fromXFormula || toXFormula != other->toXFormula ||
      stepsFormula != other->stepsFormula) {
    return true;
  }
  if (other->topTextIsFormula && topText != other->topText) return true;
  return other->bottomTextIsFormula && bottomText != other->bottomText;
}

bool TSheetGraphSettings::needsRecompute(const TSheetGraphSettings* other) const {
  if (other == nullptr) return true;
  if (usesFromDate && fromDate != other->fromDate) return true;
  if (usesToDate && toDate != other->toDate) return true;
  if (usesIsLog && logarithmic != other->logarithmic) return true;
  if (portfolioTable != other->portfolioTable) return true;
  if (usesPortfolio && portfolioIndex != other->portfolioIndex) return true;
  if (usesAsset && assetIndex != other->assetIndex) return true;
  if (other->topTextIsFormula && topText != other->topText) return true;
  return other->bottomTextIsFormula && bottomText != other->bottomText;
}

bool TSheetGraphSettings::needsRecomputeForRange(const TSheetGraphSettings* other, double dataFirstX,
                                                 double dataLastX) const {
  if (other == nullptr || needsRecompute(other)) return true;
  if (fromDate > other->fromDate) return dataFirstX == dataLastX || dataFirstX > other->fromDate;
  if (toDate >= other->toDate) return false;
  return dataFirstX == dataLastX || dataLastX < other->toDate;
}
