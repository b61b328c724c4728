#pragma once
#include <string>

#include "platform/Control.h"

// A push button that stays down. The speed buttons of one parent form a
// group in which one is down; the first of them starts the group.
class TSpeedButton : public TControl {
 public:
  TSpeedButton(TControl* parent, const std::string& caption, bool startsGroup);

  bool down() const;
  void setDown(bool down);

 protected:
  bool commandReceived(WORD code) override;

 private:
  void leaveTabOrder();
};
