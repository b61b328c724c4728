#pragma once

// The tick steps of chart axes: a round number step for value ranges and a
// calendar step for date ranges, and the walk from one tick to the next.

// The step of number labels: a 1-2-5 multiple of a power of ten near the
// smallest step the labels allow (minimumStep) that still gives at most
// labelCount labels over range. 0 when no such step exists.
long double axisNumberStep(long double minimumStep, long double labelCount, long double range);

// Label decimals for a step: 1 - round(log10(step)).
int tickDecimals(long double step);

enum class TDateTickKind { plain = 0, weeks = 1, months = 2, quarters = 3, years = 4 };

struct TDateStep {
  long double step = 1;  // in days
  TDateTickKind kind = TDateTickKind::plain;
};

// The step for a date range given in days.
TDateStep axisDateStep(long double range);

// The first tick at or after first: a multiple of the step, moved onto a
// Monday, the 1st of a month or the 1st of January as the kind asks. False
// when the date lies outside the calendar.
bool firstDateTick(const TDateStep& step, double first, double& tick);

// The first tick after value, walking from tick: whole steps for plain and
// weekly ticks, calendar months, quarters or years for the others. False
// when the walk cannot advance (a step lost in the magnitude of the value,
// or a date outside the calendar).
bool nextTickAfter(const TDateStep& step, double value, double& tick);

// True when a day number lies in the years 1 to 9999 of the calendar.
bool isCalendarDate(long double date);
