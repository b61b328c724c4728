// Live resizing of a document window's tile container: 1,000 one-pixel size
// steps of a container holding 10 tiles, each step placing every tile from
// its fractions, as while the user drags the window's edge.
#include <windows.h>

#include <cstdio>

#include "bench/BenchTiming.h"
#include "controls/ResizablePanel.h"
#include "controls/ResizablePanelContainer.h"
#include "platform/Application.h"
#include "platform/Form.h"
#include "platform/Panel.h"

int main() {
  application();
  TFormOptions options;
  options.caption = "Tiles";
  options.clientWidth = 1200;
  options.clientHeight = 800;
  TForm form(options);
  auto& container = form.add<TResizablePanelContainer>();
  container.setBounds(0, 0, 1000, 700);
  for (int i = 0; i < 10; ++i) container.add<TResizablePanel>();
  container.tileVertical();
  form.showModeless();
  application().processMessages();
  const int stepCount = benchSize(1000, 100);
  int width = 1000;
  const TBenchTimes steps = timeRounds(9, [&] {
    for (int step = 0; step < stepCount; ++step) {
      width += step < stepCount / 2 ? -1 : 1;
      container.setSize(width, 700);
    }
    application().processMessages();
  });
  // The system's own cost of resizing one visible child window, for scale:
  // a step resizes the container and its 10 tiles.
  auto& single = form.add<TPanel>();
  single.setBounds(0, 710, 100, 50);
  int singleWidth = 100;
  const TBenchTimes moves = timeRounds(9, [&] {
    for (int step = 0; step < stepCount; ++step) {
      singleWidth = singleWidth == 100 ? 101 : 100;
      SetWindowPos(single.handle(), nullptr, 0, 0, singleWidth, 50, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  });
  std::printf("%d live resize steps of a container with 10 tiles: a step %s\n", stepCount,
              microseconds(steps.per(stepCount)).c_str());
  std::printf("one system resize of a visible child window: %s\n", microseconds(moves.per(stepCount)).c_str());
  return 0;
}
