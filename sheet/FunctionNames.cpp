#include "sheet/FunctionNames.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

// In id order: the name at index i has id i + 1.
constexpr std::array<std::string_view, builtInFunctionCount> functionNames{
    // 1-53: mathematics (with IF)
    "ABS", "ACOS", "ACOSH", "ASIN", "ASINH", "ATAN", "ATAN2", "ATANH", "CEILING", "COMBIN", "COS", "COSH",
    "DEGREES", "EVEN", "EXP", "FACT", "FACTDOUBLE", "FLOOR", "FRAC", "GCD", "INT", "IF", "LCM", "LN", "LOG",
    "LOG10", "MOD", "MROUND", "MULTINOMIAL", "ODD", "PI", "POWER", "PRODUCT", "QUOTIENT", "RADIANS", "RAND",
    "RANDBETWEEN", "ROUND", "ROUNDDOWN", "ROUNDUP", "SERIESSUM", "SIGN", "SIN", "SINH", "SQR", "SQRT",
    "SQRTPI", "SUM", "SUMIF", "SUMSQ", "TAN", "TANH", "TRUNC",
    // 54-69: lookup and reference
    "ADDRESS", "AVAILABLE", "CHOOSE", "COLUMN", "COLUMNS", "HLOOKUP", "INDEX", "INDIRECT", "LOOKUP", "MATCH",
    "OFFSET", "ROW", "ROWS", "SUBARRAY", "ARRAY", "VLOOKUP",
    // 70-91: arrays and matrices
    "CROSSES", "EXTREMA", "FLIPCOLS", "FLIPROWS", "M1", "MAKEVECTOR", "MDETERM", "MINVERSE", "MMULT", "MOP",
    "MSOLVE", "MSORT", "MSUM", "MSUB", "SUMPRODUCT", "SUMX2MY2", "SUMX2PY2", "SUMXMY2", "SWAPCOLS",
    "SWAPROWS", "SYNC", "TRANSPOSE",
    // 92-113: signal processing
    "MAKE_LOPASS", "LOPASS", "MAKE_EMA", "MAKE_HIPASS", "HIPASS", "MAKE_NOTCH", "NOTCH", "MAKE_RESONATOR",
    "RESONATE", "RESAMPLE", "CONVOLVE", "RECTANGLE", "TRIANGLE", "HANNING", "HAMMING", "BLACKMAN", "FFTC",
    "FFTP", "MEM", "MEMF", "MEMP", "MEMDOM",
    // 114-162: technical indicators
    "ACD", "ADX", "ADXR", "ARD", "ARO", "ARU", "ASI", "ATR", "BA", "BOL", "CBI", "CCI", "CSP", "DI", "DIM",
    "DIP", "DM", "DPO", "EFI", "EMA", "EOM", "KB", "MA", "MACD", "MFI", "MFM", "MFP", "MI", "MO", "NVI",
    "OBV", "PVI", "PVT", "ROC", "RS", "RSI", "SAR", "SI", "STO", "TP", "TR", "TRIX", "TSI", "UDR", "VHF",
    "VOI", "WAD", "WRO", "ZZI",
    // 163-182: portfolio
    "PORTFOLIO_NAME", "PORTFOLIO_SYMBOL", "PORTFOLIO_CURRENCY", "PORTFOLIO_QUOTES", "PORTFOLIO_NAV",
    "PORTFOLIO_PERCENT_STOCKS", "PORTFOLIO_PERCENT_BONDS", "PORTFOLIO_PERCENT_CASH",
    "PORTFOLIO_PERCENT_OTHER", "PORTFOLIO_INVESTMENT", "PORTFOLIO_PRINCIPAL", "PORTFOLIO_FEES",
    "PORTFOLIO_FLOWS", "PORTFOLIO_PRINCIPAL_FLOWS", "PORTFOLIO_FEE_FLOWS", "PORTFOLIO_CURRENCY_PART",
    "PORTFOLIO_CONVERTED_CURRENCY_PART", "PORTFOLIO_FIRST_TRADE", "PORTFOLIO_LAST_TRADE", "PORTFOLIO_FLAGS",
    // 183-211: asset
    "ASSET_NAME", "ASSET_SYMBOL", "ASSET_CURRENCY", "ASSET_UNITS", "ASSET_NAV", "ASSET_QUOTES", "ASSET_OPEN",
    "ASSET_HIGH", "ASSET_LOW", "ASSET_CLOSE", "ASSET_VOLUME", "ASSET_PERCENT_STOCKS", "ASSET_PERCENT_BONDS",
    "ASSET_PERCENT_CASH", "ASSET_PERCENT_OTHER", "ASSET_INVESTMENT", "ASSET_PRINCIPAL", "ASSET_FEES",
    "ASSET_FLOWS", "ASSET_PRINCIPAL_FLOWS", "ASSET_FEE_FLOWS", "ASSET_FIRST_TRADE", "ASSET_LAST_TRADE",
    "ASSET_FLAG", "ASSET_OPEN_INTEREST", "ASSET_BID", "ASSET_ASK", "ASSET_BID_SIZE", "ASSET_ASK_SIZE",
    // 212-214: transaction and currency
    "TRANSACTION_PORTFOLIO", "TRANSACTION_ASSET", "CURRENCY_CONVERT",
    // 215-258: financial
    "ACCRINT", "ACCRINTM", "COUPDAYBS", "COUPDAYS", "COUPDAYSNC", "COUPNCD", "COUPNUM", "COUPPCD", "CUMIPMT",
    "CUMPRINC", "DB", "DDB", "DISC", "DOLLARDE", "DOLLARFR", "DURATION", "EFFECT", "FV", "FVSCHEDULE",
    "INTRATE", "IPMT", "IRR", "MDURATION", "MIRR", "NOMINAL", "NPER", "NPV", "PMT", "PPMT", "PRICE",
    "PRICEDISC", "PRICEMAT", "PV", "RATE", "RECEIVED", "SLN", "SYD", "TBILLEQ", "TBILLPRICE", "TBILLYIELD",
    "VDB", "XIRR", "XNPV", "YIELD",
    // 259-337: statistics
    "AVEDEV", "AVERAGE", "BETA", "BETADIST", "BETAINV", "BINOMDIST", "CHI2", "CHIDIST", "CHIINV", "CHITEST",
    "CONFIDENCE", "CORREL", "COUNT", "COUNTA", "COUNTBLANK", "COUNTIF", "COVAR", "CRITBINOM", "DEVSQ", "ERF",
    "EXPONDIST", "EXPONINV", "FDIST", "FINV", "FISHER", "FISHERINV", "FORECAST", "FREQUENCY", "FTEST",
    "GAMMA", "GAMMADIST", "GAMMAINV", "GAMMALN", "GEOMEAN", "GROWTH", "HARMEAN", "HYPGEOMDIST", "INTERCEPT",
    "KURT", "LARGE", "LINEST", "LOGEST", "LOGINV", "LOGNORMDIST", "MAX", "MEDIAN", "MIN", "MODE",
    "NEGBINOMDIST", "NORMDIST", "NORMINV", "NORMSDIST", "NORMSINV", "PEARSON", "PERCENTILE", "PERCENTRANK",
    "PERMUT", "POISSON", "PROB", "QUARTILE", "RANK", "RSQ", "SKEW", "SLOPE", "SMALL", "STANDARDIZE", "STDEV",
    "STDEVP", "STEYX", "TDIST", "TINV", "TREND", "TRIMMEAN", "TTEST", "VAR", "VARP", "WEIBULL", "WEIBULLINV",
    "ZTEST",
    // 338-356: date and time
    "DATE", "DATEVALUE", "DAY", "DAYS360", "EDATE", "EOMONTH", "HOUR", "MINUTE", "MONTH", "NETWORKDAYS",
    "NOW", "SECOND", "TIME", "TIMEVALUE", "TODAY", "WEEKDAY", "WORKDAY", "YEAR", "YEARFRAC",
    // 357-378: text
    "CHAR", "CLEAN", "CODE", "CONCATENATE", "DOLLAR", "EXACT", "FIND", "FIXED", "LEFT", "LEN", "LOWER", "MID",
    "PROPER", "REPLACE", "REPT", "RIGHT", "SEARCH", "SUBSTITUTE", "T", "TRIM", "UPPER", "VALUE",
};

constexpr std::size_t longestName =
    std::max_element(functionNames.begin(), functionNames.end(),
                     [](std::string_view a, std::string_view b) { return a.size() < b.size(); })->size();

// FNV-1a of an upper-case name, a character at a time.
constexpr std::uint32_t nameHashStart = 2166136261u;
constexpr std::uint32_t nameHashStep(std::uint32_t hash, char c) {
  return (hash ^ static_cast<unsigned char>(c)) * 16777619u;
}
constexpr std::uint32_t nameHash(std::string_view name) {
  std::uint32_t hash = nameHashStart;
  for (char c : name) hash = nameHashStep(hash, c);
  return hash;
}

// The ids by name hash, open addressing with linear probing (0: free). Made
// by the compiler: every formula's calls are looked up as it is entered,
// and a table that is never written is safe from the chart compute threads.
constexpr std::size_t tableSlots = 1024;
static_assert(tableSlots >= 2 * builtInFunctionCount);
constexpr auto idTable = [] {
  std::array<std::uint16_t, tableSlots> slots{};
  for (std::size_t index = 0; index < functionNames.size(); ++index) {
    std::size_t slot = nameHash(functionNames[index]) & (tableSlots - 1);
    while (slots[slot] != 0) slot = (slot + 1) & (tableSlots - 1);
    slots[slot] = static_cast<std::uint16_t>(index + 1);
  }
  return slots;
}();

}  // namespace

int FunctionIdOf(std::string_view name) {
  if (name.empty() || name.size() > longestName) return -1;
  // Upper-cased and hashed in one go, and compared in place: every call of
  // every formula entered is looked up, and a library compare costs more
  // than these few characters.
  char upper[longestName];
  std::uint32_t hash = nameHashStart;
  for (std::size_t index = 0; index < name.size(); ++index) {
    char c = name[index];
    upper[index] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    hash = nameHashStep(hash, upper[index]);
  }
  constexpr std::size_t mask = tableSlots - 1;
  for (std::size_t slot = hash & mask; idTable[slot] != 0; slot = (slot + 1) & mask) {
    const std::string_view candidate = functionNames[idTable[slot] - 1];
    if (candidate.size() != name.size()) continue;
    std::size_t same = 0;
    while (same < name.size() && candidate[same] == upper[same]) ++same;
    if (same == name.size()) return idTable[slot];
  }
  return -1;
}

std::string_view builtInFunctionName(int id) {
  if (id < 1 || id > builtInFunctionCount) return {};
  return functionNames[id - 1];
}
