#include "controls/ChildForm.h"

namespace {

// Program-wide, as the main window's tabs are: the number of sheets made so
// far, and the host panel of the child form being made.
int sheetCounter = 0;
TPanel* hostPanel = nullptr;

TFormOptions childOptions() {
  TFormOptions options;
  options.parent = hostPanel;
  return options;
}

}  // namespace

int formSheetCount() { return sheetCounter; }
TPanel* currentHostPanel() { return hostPanel; }

namespace childforms {

int nextSheetNumber() { return ++sheetCounter; }
void setCurrentHostPanel(TPanel* panel) { hostPanel = panel; }

void showOnSheet(TPageControl& pageControl, TFormSheet& sheet) {
  sheet.Form->show();
  pageControl.setRedraw(true);
  pageControl.setActivePage(&sheet);
}

}  // namespace childforms

TChildForm::TChildForm() : TForm(childOptions()) {}

TFormSheet::TFormSheet(TPageControl* pageControl, const std::string& caption) : TTabSheet(pageControl, caption) {}

TPanel& TFormSheet::createPanel(int counter) {
  Panel = &add<TPanel>();
  Panel->name = "SheetPanel" + std::to_string(counter);
  Panel->setBevelOuter(TBevelCut::none);
  Panel->setAlign(TAlign::client);
  return *Panel;
}

TFormSheet& newFormSheet(TPageControl& pageControl, const std::string& caption) {
  return pageControl.own(std::make_unique<TFormSheet>(&pageControl, caption));
}
