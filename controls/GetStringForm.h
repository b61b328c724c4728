#pragma once
#include <string>

#include "platform/Form.h"

class TButton;
class TEdit;

// Where a window of the given size opens: at the wanted place, moved as
// little as needed to lie wholly on the work area.
POINT placeKeptOn(const RECT& workArea, SIZE size, POINT wanted);
// Where a window of the given size opens centred on the work area.
POINT placeCentredOn(const RECT& workArea, SIZE size);

// Asks for one line of text at a given place on the screen.
class TgetStringForm : public TForm {
 public:
  TgetStringForm();

  bool execute(POINT position, const std::string& caption, std::string& text);
  void loadTranslations(const std::string& languageFile);

  TEdit& edit() const { return *edit_; }
  TButton& okBtn() const { return *okBtn_; }

 private:
  void okBtnClick();

  TEdit* edit_ = nullptr;
  TButton* okBtn_ = nullptr;
  bool accepted_ = false;
};
