#pragma once

// What a data tab must redo on arrival, decided from change stamps alone
// (newer means strictly greater; the model's stamps strictly increase, so
// an edit in the same millisecond as a recomputation still counts).
struct TDataTabStamps {
  double macrosLoadedAt = 0;  // the Macros window's engine
  double scriptStamp = 0;     // when the window last received the engine
  double dataChanged = 0;     // the portfolio table's (or portfolio's) last change
  double currentChanged = 0;  // when another portfolio became the current one
  double sheetStamp = 0;      // when the window last built or recomputed its sheet
  bool datesMoved = false;    // shared dates differ from the window's
};

struct TDataTabArrival {
  bool setScript = false;
  bool recompute = false;          // recomputeSheet and rebuildAllAuxiliaryViews
  bool followCurrent = false;      // setAuxiliaryViewsPortfolio
  bool handleViewRequests = false; // handleSheetChartAndGraphRequests
  bool applyDatesNow = false;      // dateChangeTimerTimer at once
};

TDataTabArrival portfoliosTabArrival(const TDataTabStamps& stamps);
