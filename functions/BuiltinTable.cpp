#include "sheet/BuiltinDispatch.h"

#include "functions/AggregateFunctions.h"
#include "functions/CalendarFunctions.h"
#include "functions/CashFlowFunctions.h"
#include "functions/CurrencyAndTextFunctions.h"
#include "functions/DateFunctions.h"
#include "functions/DistributionFunctions.h"
#include "functions/FinanceFunctions.h"
#include "functions/IndicatorFunctions.h"
#include "functions/LogicFunctions.h"
#include "functions/LookupFunctions.h"
#include "functions/MathFunctions.h"
#include "functions/MatrixFunctions.h"
#include "functions/PortfolioFunctions.h"
#include "functions/SignalFunctions.h"
#include "functions/StatisticsFunctions.h"
#include "functions/TableFunctions.h"
#include "functions/TextFunctions.h"

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
