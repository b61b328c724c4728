#include "controls/ShutDownForm.h"

#include "platform/Panel.h"

namespace {

TFormOptions shutDownOptions() {
  TFormOptions options;
  options.caption = "Shutting down";
  options.clientWidth = 264;
  options.clientHeight = 42;
  options.border = TBorderStyle::dialog;
  options.systemMenu = false;
  options.stayOnTop = true;
  return options;
}

}  // namespace

TshutDownForm::TshutDownForm() : TForm(shutDownOptions()) {
  auto& panel = add<TPanel>();
  panel.setAlign(TAlign::client);
  panel.setBevelOuter(TBevelCut::none);
  panel.setBevelInner(TBevelCut::lowered);
  image = &panel.add<TImage>();
  image->setBounds(5, 5, 32, 32);
  image->setSystemIcon(IDI_INFORMATION);
  msgLabel = &panel.add<TLabel>("Shutting down - please wait...");
  TFont font = msgLabel->font();
  font.setHeight(-16);
  msgLabel->setFont(font);
  msgLabel->autoSize();
  msgLabel->setBounds(44, (42 - msgLabel->height()) / 2, msgLabel->width(), msgLabel->height());
}
