#include "sheet/BuiltinDispatch.h"

#include "functions/maths/AggregateFunctions.h"
#include "functions/datetext/CalendarFunctions.h"
#include "functions/finance/CashFlowFunctions.h"
#include "functions/datetext/CurrencyAndTextFunctions.h"
#include "functions/datetext/DateFunctions.h"
#include "functions/statistics/DistributionFunctions.h"
#include "functions/finance/FinanceFunctions.h"
#include "functions/indicators/IndicatorFunctions.h"
#include "functions/maths/LogicFunctions.h"
#include "functions/lookup/LookupFunctions.h"
#include "functions/maths/MathFunctions.h"
#include "functions/maths/MatrixFunctions.h"
#include "functions/portfolio/PortfolioFunctions.h"
#include "functions/signal/SignalFunctions.h"
#include "functions/statistics/StatisticsFunctions.h"
#include "functions/lookup/TableFunctions.h"
#include "functions/datetext/TextFunctions.h"

// Each family of built-in functions fills its entries of the table through
// one registration function declared in its own header, called here.

namespace {

TBuiltinTable makeBuiltinTable() {
  TBuiltinTable table{};
  registerDateFunctions(table);
  registerLogicFunctions(table);
  registerTextFunctions(table);
  registerFinanceFunctions(table);
  registerCashFlowFunctions(table);
  registerCalendarFunctions(table);
  registerCurrencyAndTextFunctions(table);
  registerIndicatorFunctions(table);
  registerMathFunctions(table);
  registerSignalFunctions(table);
  registerAggregateFunctions(table);
  registerPortfolioFunctions(table);
  registerStatisticsFunctions(table);
  registerDistributionFunctions(table);
  registerMatrixFunctions(table);
  registerLookupFunctions(table);
  registerTableFunctions(table);
  return table;
}

}  // namespace

const TBuiltinTable& builtinRoutines() {
  static const TBuiltinTable table = makeBuiltinTable();
  return table;
}

const TKernelTable& numberKernels() {
  static const TKernelTable kernels = [] {
    TKernelTable made{};
    registerMathKernels(made);
    return made;
  }();
  return kernels;
}
