#include <gtest/gtest.h>

#include "tests/functions/FormulaResults.h"
#include "tests/sheet/SheetTestSupport.h"

// Expected values: scipy.stats and scipy.special 1.10 (norm, lognorm,
// binom, nbinom, poisson, hypergeom, gamma, chi2, weibull_min, beta, f, t;
// beta, erf, gamma, gammaln), numpy arctanh and tanh; the flags left off
// take each function's default.
TEST(DistributionFunctions, DensitiesAndCumulativesAgreeWithScipy) {
  TSheet sheet;
  expectNumbers(sheet,
                {
                    {"=BETA(2.5,3.5)", 0.036815538909255395},
                    {"=ERF(0.7)", 0.6778011938374183},
                    {"=GAMMA(4.3)", 8.855343360454036},
                    {"=GAMMALN(10.5)", 13.940625219403763},
                    {"=GAMMALN(2000)", 13198.923448054264},
                    {"=FISHER(0.3)", 0.3095196042031117},
                    {"=NORMDIST(1.3,0.5,2)", 0.6554217416103242},
                    {"=NORMDIST(1.3,0.5,2,0)", 0.18413507015166167},
                    {"=NORMSDIST(1.1)", 0.8643339390536173},
                    {"=NORMSDIST(1.1,0)", 0.21785217703255055},
                    {"=LOGNORMDIST(2.5,0.3,0.8)", 0.7794578255116364},
                    {"=LOGNORMDIST(2.5,0.3,0.8,0)", 0.14825587554199168},
                    {"=CONFIDENCE(0.05,2.5,50)", 0.6929519121748389},
                    {"=BINOMDIST(7,20,0.3)", 0.7722717974181608},
                    {"=BINOMDIST(7,20,0.3,0)", 0.16426198521723662},
                    {"=CRITBINOM(40,0.3,0.6)", 13.0},
                    {"=NEGBINOMDIST(10,5,0.25)", 0.05504866037517788},
                    {"=POISSON(2,1)", 0.9196986029286058},
                    {"=POISSON(3,2.5,0)", 0.21376301724973648},
                    {"=HYPGEOMDIST(1,4,8,20)", 0.36326109391124867},
                    {"=HYPGEOMDIST(1,4,8,20,1)", 0.4654282765737874},
                    {"=EXPONDIST(0.5,2)", 0.6321205588285577},
                    {"=EXPONDIST(0.5,2,0)", 0.7357588823428848},
                    {"=GAMMADIST(2.5,3,1.5,1)", 0.23400449960322142},
                    {"=GAMMADIST(2.5,3,1.5,0)", 0.1748848174421869},
                    {"=CHIDIST(3.5,4)", 0.477878344488724},
                    {"=CHIDIST(3.5,4,0)", 0.1520522005191395},
                    {"=WEIBULL(1.5,2,3)", 0.22119921692859515},
                    {"=WEIBULL(1.5,2,3,0)", 0.2596002610238016},
                    {"=BETADIST(0.4,2,3)", 0.5247999999999999},
                    {"=BETADIST(5,2,3,2,8)", 0.6875},
                    {"=BETADIST(5,2,3,2,8,0)", 0.25},  // the unit density spread over B - A = 6
                    {"=FDIST(2.2,4,9)", 0.14986256865916878},
                    {"=FDIST(2.2,4,9,1)", 0.14986256865916878},
                    {"=FDIST(2.2,4,9,0)", 0.12778478430085347},
                    {"=TDIST(1.5,10,2)", 0.16450732644544017},
                    {"=TDIST(1.5,10,1)", 0.08225366322272008},
                    {"=TDIST(1.5,10,2,0)", 0.12744479428709163},
                },
                1e-10);
}

TEST(DistributionFunctions, InversesAgreeWithScipy) {
  TSheet sheet;
  expectNumbers(sheet,
                {
                    {"=FISHERINV(0.3)", 0.2913126124515909},
                    {"=NORMINV(0.8,3,2)", 4.683242467145829},
                    {"=NORMSINV(0.025)", -1.9599639845400545},
                    {"=LOGINV(0.4,0.3,0.8)", 1.102215579733962},
                    {"=EXPONINV(0.3,2)", 0.17833747196936622},
                    {"=GAMMAINV(0.4,3,1.5)", 3.427615356005071},
                    {"=CHIINV(0.3,4)", 4.878432966560408},
                    {"=WEIBULLINV(0.6,2,3)", 2.8716922862429732},
                    {"=BETAINV(0.6,2,3)", 0.4445000020837674},
                    {"=BETAINV(0.6,2,3,2,8)", 4.667000012502604},
                    {"=FINV(0.1,4,9)", 2.692680062502341},
                    {"=TINV(0.05,10)", 2.2281388519649385},
                },
                1e-9);
}

// Counts in the thousands take the direct products beyond the extended
// range; the answers come from the running products and logarithms.
// Expected values: Python's exact binomials and lgamma.
TEST(DistributionFunctions, LargeCountsStillAnswer) {
  TSheet sheet;
  expectNumbers(sheet,
                {
                    {"=BINOMDIST(1500,3000,0.5,0)", 0.01456609851579575},
                    {"=BINOMDIST(1798,1800,0.999,0)", 0.26793009810141055},
                    {"=CRITBINOM(3000,0.5,0.5)", 1500},
                    {"=CRITBINOM(1800,0.999,0.5)", 1798},
                    {"=HYPGEOMDIST(1000,2000,2000,4000)", 0.025226594790460837},
                    {"=POISSON(2000,1000,1)", 1},
                    {"=POISSON(2000,1000,0)", 1.5306205776185085e-170},
                    {"=POISSON(20000,20000,1)", 0.50188061992},
                    {"=GAMMADIST(2000,2000,1,0)", 0.008920248895977536},
                },
                1e-9);
}

// A continued fraction or a bisection that did not settle, or settled on the
// end of its bracket, has no value to show.
TEST(DistributionFunctions, SearchesThatDoNotConvergeAreNotAvailable) {
  TSheet sheet;
  expectResults(sheet, {
                           {"=BETADIST(0.5,1E9,1E9)", "#N/A"},
                           {"=TINV(1E-20,1)", "#N/A"},
                           {"=FINV(1E-10,1,1)", "#N/A"},
                           {"=BETAINV(0,2,3)", "0"},
                           {"=BETAINV(1,2,3,2,8)", "8"},
                       });
}

TEST(DistributionFunctions, ArgumentRulesAndDefaults) {
  TSheet sheet;
  expectResults(sheet, {
                           {"=BINOMDIST(2,5,0.5)", "0.5"},         // cumulative when left off
                           {"=BINOMDIST(2.9,5,0.5,0)", "0.3125"},  // integer arguments are truncated
                           {"=CRITBINOM(6,0.5,0.75)", "4"},
                           {"=NORMSDIST(\"0\")", "0.5"},
                           {"=NORMSDIST(\"x\")", "#VALUE!"},
                           {"=NORMDIST(1,2)", "#VALUE!"},
                           {"=TDIST(1,10,3)", "#VALUE!"},
                           {"=TDIST(0,10,2)", "1"},
                           {"=GAMMADIST(1,2,3)", "#VALUE!"},  // the flag is required
                           // A search whose series does not settle is "not available".
                           {"=CHIINV(0.5,1000000)", "#N/A"},
                           {"=BETADIST(2,2,3,2,8)", "0"},
                           {"=BETADIST(1,2,3,1,1)", "#NUM!"},
                           {"=BETADIST(0.5,0,3)", "#NUM!"},
                           {"=BETADIST(9,2,3,2,8)", "#NUM!"},
                           {"=BETAINV(1.2,2,3)", "#NUM!"},
                           {"=BETAINV(0.5,2,3,4,4)", "#NUM!"},
                       });
}
