#pragma once
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "platform/GuiSynchronizer.h"

class TPriceSeries;
class TSheet;

// Steps X over a sheet graph's internal sheet from FROM_X to TO_X in STEPS
// steps and appends each line's values and marks to its series (line i is
// sheet row i + 2). The sheet and the series belong to the graph, which
// leaves them alone until finished() holds. A sheet that calls macros is
// worked on the GUI thread in slices of about half a second, since script
// engines are bound to their thread; the worker then only loops.
class TComputeThread {
 public:
  // On the GUI thread: empties every series, each then holding prices of
  // its own, and starts the thread at once.
  TComputeThread(std::vector<TPriceSeries*> series, TSheet& sheet, double fromDate, double toDate, int assetIndex,
                 int portfolioIndex, bool logarithmic);
  // Waits for the thread's end, running its synchronised work meanwhile.
  ~TComputeThread();
  TComputeThread(const TComputeThread&) = delete;
  TComputeThread& operator=(const TComputeThread&) = delete;

  // A request: the step or slice in progress still ends. Work waiting for
  // the GUI thread is dropped at once.
  void terminate();
  bool terminated() const { return terminated_; }
  // On the GUI thread: returns once the body has ended.
  void waitFor();

  bool finished() const { return finished_; }
  // Ended without being terminated and without an error.
  bool completed() const { return completed_; }
  // Valid once finished.
  double fromX() const { return fromX_; }
  double toX() const { return toX_; }
  bool logarithmic() const { return logarithmic_; }

  // How long a slice on the GUI thread runs before it hands back.
  static constexpr double sliceSeconds = 0.5;

 private:
  void Execute();
  void prepare();
  void setX();
  void doStep();
  void runSlice();
  void clearSeries();

  std::vector<TPriceSeries*> series_;
  TSheet& sheet_;
  double fromDate_;
  double toDate_;
  int portfolioIndex_;
  int assetIndex_;
  bool logarithmic_;
  double fromX_ = 0;
  double toX_ = 0;
  double x_ = 0;
  double step_ = 0;
  int steps_ = 1;
  int stepIndex_ = 0;
  std::atomic<bool> terminated_{false};
  std::atomic<bool> finished_{false};
  std::atomic<bool> completed_{false};
  TGuiSynchronizer synchronizer_;
  std::thread thread_;
};
