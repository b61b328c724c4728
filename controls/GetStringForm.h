#pragma once
#include <string>

#include "platform/Form.h"

class TButton;
class TEdit;

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
