#pragma once
#include "sheet/BuiltinDispatch.h"

// The built-ins that take dates apart and count working days: DAY, MONTH,
// YEAR, HOUR, MINUTE, SECOND, WEEKDAY, WORKDAY, NETWORKDAYS and EOMONTH.
void registerCalendarFunctions(TBuiltinTable& table);
