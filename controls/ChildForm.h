#pragma once
#include <memory>
#include <string>
#include <utility>

#include "platform/Form.h"
#include "platform/PageControl.h"
#include "platform/Panel.h"

// The base of the main windows that live on the tabs of the main window's
// page control: a child window filling the host panel current while it is
// created (see createChildForm).
class TChildForm : public TForm {
 public:
  TChildForm();
};

// A tab sheet with its host panel and the child window shown in it.
class TFormSheet : public TTabSheet {
 public:
  TFormSheet(TPageControl* pageControl, const std::string& caption);
  // The client-aligned host panel, named "SheetPanel<counter>".
  TPanel& createPanel(int counter);

  TPanel* Panel = nullptr;
  TChildForm* Form = nullptr;
};

// The sheets created so far in this program (names count on from it).
int formSheetCount();
// The host panel a child form being created puts itself in.
TPanel* currentHostPanel();

// A new tab named "Sheet<counter>" with the caption (when one is given), on
// the page control, owned by it.
TFormSheet& newFormSheet(TPageControl& pageControl, const std::string& caption);

namespace childforms {
int nextSheetNumber();
void setCurrentHostPanel(TPanel* panel);
void showOnSheet(TPageControl& pageControl, TFormSheet& sheet);
}  // namespace childforms

// Creates a child window of the class on a new tab, shows it and makes its
// tab the active one. The class is constructed with the arguments given.
template <class FormClass, class... Args>
FormClass& createChildForm(TPageControl& pageControl, const std::string& caption, Args&&... args) {
  const int counter = childforms::nextSheetNumber();
  pageControl.setRedraw(false);
  TFormSheet& sheet = newFormSheet(pageControl, caption);
  sheet.name = "Sheet" + std::to_string(counter);
  TPanel& panel = sheet.createPanel(counter);
  childforms::setCurrentHostPanel(&panel);
  auto form = std::make_unique<FormClass>(std::forward<Args>(args)...);
  childforms::setCurrentHostPanel(nullptr);
  FormClass& result = panel.own(std::move(form));
  sheet.Form = &result;
  childforms::showOnSheet(pageControl, sheet);
  return result;
}
