#pragma once
#include <functional>
#include <string>

#include <windows.h>

#include "platform/Form.h"

class TButton;
class TEdit;
class TMaskEdit;

// The values of one engine record as the add-engine dialog edits them.
struct TEngineRecordFields {
  GUID classId{};
  std::string menuName;
  std::string description;
  std::string fileFilter;
};

// "Add script engine": the class id, menu entry, description and file
// filter of a declared engine. OK is enabled only while all four are valid.
class TaddEngineForm : public TForm {
 public:
  TaddEngineForm();

  TMaskEdit& catIdMaskEdit() const { return *catIdMaskEdit_; }
  TEdit& menuEntryEdit() const { return *menuEntryEdit_; }
  TEdit& descriptionEdit() const { return *descriptionEdit_; }
  TEdit& fileFilterEdit() const { return *fileFilterEdit_; }
  TButton& okBtn() const { return *okBtn_; }

  void setFields(const TEngineRecordFields& fields);
  // The checked values (trimmed), valid when accepted.
  const TEngineRecordFields& fields() const { return fields_; }
  bool accepted() const { return accepted_; }

 private:
  void editChange();

  TMaskEdit* catIdMaskEdit_;
  TEdit* menuEntryEdit_;
  TEdit* descriptionEdit_;
  TEdit* fileFilterEdit_;
  TButton* okBtn_;
  TButton* helpBtn_;
  TEngineRecordFields fields_;
  bool accepted_ = false;
};

// Runs the dialog modally, centred on bounds; true with the fields changed
// when the user accepts.
bool editEngineRecord(TEngineRecordFields& fields, int helpContext, const RECT& bounds, const std::string& caption);
