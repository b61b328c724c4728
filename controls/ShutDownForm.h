#pragma once
#include "platform/ExtControls.h"
#include "platform/Form.h"
#include "platform/StdControls.h"

// The "Shutting down" notice the main window shows while it closes.
class TshutDownForm : public TForm {
 public:
  TshutDownForm();
  TLabel* msgLabel;
  TImage* image;
};
