// Creating a form with 200 controls and laying it out: the cost of opening
// a window full of fields, and of one re-layout when the user resizes it.
#include <windows.h>

#include <cstdio>
#include <memory>

#include "bench/BenchTiming.h"
#include "platform/Application.h"
#include "platform/Form.h"
#include "platform/Panel.h"
#include "platform/StdControls.h"

namespace {

// 40 rows, each a panel aligned to the top holding a label, an edit, a check
// box and a button; the edit stretches with the row.
std::unique_ptr<TForm> buildForm() {
  TFormOptions options;
  options.caption = "200 controls";
  options.clientWidth = 600;
  options.clientHeight = 900;
  auto form = std::make_unique<TForm>(options);
  for (int row = 0; row < 40; ++row) {
    auto& panel = form->add<TPanel>();
    panel.setBounds(0, 0, 600, 22);
    panel.setAlign(TAlign::top);
    auto& label = panel.add<TLabel>("Field " + std::to_string(row));
    label.setBounds(4, 4, 60, 16);
    auto& edit = panel.add<TEdit>("value");
    edit.setBounds(70, 1, 300, 20);
    edit.setAnchors(akLeft | akTop | akRight);
    auto& check = panel.add<TCheckBox>("on");
    check.setBounds(380, 1, 60, 20);
    check.setAnchors(akTop | akRight);
    auto& button = panel.add<TButton>("...");
    button.setBounds(450, 0, 30, 22);
    button.setAnchors(akTop | akRight);
  }
  form->showModeless();
  application().processMessages();
  return form;
}

}  // namespace

int main() {
  application();
  const TBenchTimes create = timeRounds(9, [] { buildForm(); });
  auto form = buildForm();
  int width = 600;
  const TBenchTimes relayout = timeRounds(21, [&] {
    width = width == 600 ? 800 : 600;
    form->setClientSize(width, 900);
    application().processMessages();
  });
  std::printf("form with 200 controls: create, lay out and show %s\n", microseconds(create).c_str());
  std::printf("                        re-layout on resize      %s\n", microseconds(relayout).c_str());
  return 0;
}
