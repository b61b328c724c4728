#pragma once

// Depreciation of an asset of cost down to its salvage value over life
// periods. Invalid arguments raise ERangeError.

// Most periods the declining-balance routines step through (the period of DB
// and DDB, the end of VDB); more raise ERangeError.
constexpr int maxDepreciationPeriods = 1000000;

// DB: the fixed declining balance, its rate rounded to three decimals; with
// month < 12 the first year has month months and a last period life + 1
// takes the remaining 12 - month.
long double fixedDecliningBalance(int life, int period, int month, long double cost, long double salvage);
// DDB: declining at factor / life a period, never below salvage.
long double doubleDecliningBalance(int life, int period, long double cost, long double salvage, long double factor);
// SLN and SYD check nothing: a zero life raises EZeroDivide.
long double straightLineDepreciation(long double cost, long double salvage, long double life);
long double sumOfYearsDepreciation(long double cost, long double salvage, long double life, long double period);
// VDB: the declining balance from period start to period end (counted from 0,
// possibly fractional), switching to straight line when that is larger
// unless noSwitch is set.
long double variableDecliningBalance(bool noSwitch, long double cost, long double salvage, long double life,
                                     long double start, long double end, long double factor);
