#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <vector>

#include "functions/statistics/Distributions.h"
#include "functions/statistics/SpecialFunctions.h"
#include "tests/functions/NumericTestSupport.h"

// Expected values from mpmath at 40 digits (closed forms, sums, densities,
// incomplete gamma and beta) and from scipy.stats (inverses, large degrees).

namespace {

constexpr long double eps = static_cast<long double>(1e-10);
constexpr int itmax = 10000;
// Closed forms; series and continued fractions; inverses by bisection.
constexpr long double closed = 1e-15L, series = 1e-9L, bisection = 1e-8L;

struct Case {
  const char* name;
  std::function<long double()> compute;
  long double expected, tolerance;
};

void expectTable(const std::vector<Case>& table) {
  for (const auto& c : table) expectRelative(c.compute(), c.expected, c.tolerance, c.name);
}

}  // namespace

using Distributions = TClearsFaultFlags;

TEST_F(Distributions, ContinuousDistributions) {
  expectTable({
      {"normCumulative", [] { return normCumulative(1.3L, 0.5L, 2, itmax); }, 0.6554217416103241667369L, series},
      {"normDensity", [] { return normDensity(1.3L, 0.5L, 2); }, 0.1841350701516616538721L, closed},
      {"normInv", [] { return normInv(0.8L, 3, 2); }, 4.683242467145828410357L, closed},
      {"logNormDist", [] { return logNormDist(2, 0.5L, 1.25L, true, itmax); }, 0.5613992394047784481181L, series},
      {"logInv", [] { return logInv(0.3L, 0.5L, 1.25L); }, 0.855986528339783511806L, closed},
      {"confidence", [] { return confidence(0.05L, 2.5L, 50); }, 0.692951912174838972639L, closed},
      {"exponDist", [] { return exponDist(2, 0.75L, true); }, 0.7768698398515701710667L, closed},
      {"exponDensity", [] { return exponDist(2, 0.75L, false); }, 0.1673476201113223717L, closed},
      {"exponInv", [] { return exponInv(0.4L, 0.75L); }, 0.6811008316879875776074L, closed},
      {"gammaDist", [] { return gammaDist(3, 2.5L, 1.5L, true, itmax); }, 0.4505840486472197673942L, series},
      {"gammaDensity", [] { return gammaDist(3, 2.5L, 1.5L, false, itmax); }, 0.1919678809357797402687L, closed},
      {"gammaInv", [] { return gammaInv(0.6L, 2.5L, 1.5L, eps, itmax); }, 3.8489003058013647L, bisection},
      {"chiDist", [] { return chiDist(3.2L, 5, true, itmax); }, 0.6691829020332432143514L, series},
      {"chiDensity", [] { return chiDist(3.2L, 5, false, itmax); }, 0.1536889372678556285712L, closed},
      {"chiInv", [] { return chiInv(0.05L, 5, eps, itmax); }, 11.070497693516355L, bisection},
      // Gamma(2000) leaves the extended range; the factor is formed in logarithms.
      {"chiDist 4000", [] { return chiDist(4000, 4000, true, itmax); }, 0.49702645155579744L, series},
      {"chiInv 4000", [] { return chiInv(0.5L, 4000, eps, itmax); }, 3999.3333530900254L, bisection},
      {"betaDist", [] { return betaDist(0.4L, 2, 3.5L, true, eps); }, 0.5984490866652150173446L, series},
      {"betaDensity", [] { return betaDist(0.4L, 2, 3.5L, false, eps); }, 1.756785245839684299117L, closed},
      {"fDist", [] { return fDist(2.5L, 4, 9, true, eps); }, 0.8832850572834313L, series},
      {"fDensity", [] { return fDist(2.5L, 4, 9, false, eps); }, 0.0950228563235222349427L, closed},
      {"fInv", [] { return fInv(1 - 0.05L, 4, 9, eps, itmax); }, 3.6330885114190794L, bisection},
      {"tDist", [] { return tDist(1.7L, 8, true, eps); }, 0.8724471302967658L, series},
      {"tDensity", [] { return tDist(1.7L, 8, false, eps); }, 0.0965278326631475105935L, closed},
      {"tInv", [] { return tInv(1 - 0.05L, 8, eps, itmax); }, 2.306004135033371L, bisection},
      // B(2000, 0.5) through Gamma would overflow.
      {"tDist 4000", [] { return tDist(2, 4000, true, eps); }, 0.9544322393884799L, series},
      // b = 4000 / (t^2 + 4000) lies near 1: its absolute accuracy of 1E-10
      // leaves t with about 1E-7.
      {"tInv 4000", [] { return tInv(1 - 0.05L, 4000, eps, itmax); }, 1.9605572287937338L, 1e-7L},
      {"weibull", [] { return weibull(1.5L, 2.2L, 1.3L, true); }, 0.7458969102727890601762L, closed},
      {"weibullDensity", [] { return weibull(1.5L, 2.2L, 1.3L, false); }, 0.5105834839928550647907L, closed},
      {"weibullInv", [] { return weibullInv(0.7L, 2.2L, 1.3L); }, 1.414449011293048736955L, closed},
      {"fisher", [] { return fisher(0.6L); }, 0.6931471805599453094172L, closed},
      {"hyperbolicTangent", [] { return hyperbolicTangent(0.75L); }, 0.6351489523872873192144L, closed},
  });
}

// Spreadsheet users read the density of LOGNORMDIST(x; mu; sigma; 0) as that
// of x: phi(z) / (x sigma), which integrates to 1 (mpmath; scipy lognorm.pdf).
TEST_F(Distributions, LogNormalDensityIsTheDensityOfX) {
  EXPECT_NEAR(logNormDist(2, 0.5L, 1.25L, false, itmax), 0.1576832300107833320839L, 1e-17L);
}

TEST_F(Distributions, DiscreteDistributions) {
  expectTable({
      {"binomProbability", [] { return binomDist(3, 10, 0.35L, false); }, 0.25221962497265625L, closed},
      {"binomCumulative", [] { return binomDist(3, 10, 0.35L, true); }, 0.513827016355859375L, closed},
      {"binomDist 2 5", [] { return binomDist(2, 5, 0.5L, true); }, 0.5L, closed},
      {"negBinomDist", [] { return negBinomDist(5, 3, 0.4L); }, 0.10450944L, closed},
      {"poissonProbability", [] { return poisson(4, 3.5L, false); }, 0.1888122854088195840527L, closed},
      {"poissonCumulative", [] { return poisson(4, 3.5L, true); }, 0.725444953309604607616L, closed},
      {"hypGeomProbability", [] { return hypGeomDist(1, 4, 8, 20, false); }, 0.3632610939112487100103L, closed},
      {"hypGeomCumulative", [] { return hypGeomDist(2, 4, 8, 20, true); }, 0.8468524251805985552116L, closed},
  });
  EXPECT_EQ(binomCumulative(-1, 5, 0.5L), 0.0L);
  EXPECT_EQ(critBinom(6, 0.5L, 0.75L), 4);
  EXPECT_EQ(critBinom(6, 0.5L, 1), 6);
  EXPECT_EQ(critBinom(20, 0.3L, 0.4L), 5);  // scipy binom.ppf
  EXPECT_THROW(binomDist(1, 5, 1.5L, true), ERangeError);
  EXPECT_THROW(poisson(-1, 1, true), ERangeError);
}

TEST_F(Distributions, EdgeValuesOfTheSheetFunctions) {
  // The cumulative chi-square is the upper tail, yet a negative x gives 0, as
  // the sheet has always answered (not the tail probability 1).
  EXPECT_EQ(chiDist(-1, 3, true, itmax), 0.0L);
  EXPECT_THROW(chiDist(-1, 3, false, itmax), ERangeError);
  EXPECT_EQ(tCumulative(0, 10, eps), 0.0L);  // so TDIST(0; 10; 2) = 1
  EXPECT_EQ(chiInv(1, 4, eps, itmax), 0.0L);
  EXPECT_EQ(normInv(0.5L, 3, 0), 3.0L);
  EXPECT_THROW(normInv(0.5L, 3, -1), ERangeError);
  EXPECT_THROW(exponInv(1, 1), EZeroDivide);
  EXPECT_THROW(weibullInv(1, 1, 1), EZeroDivide);
  EXPECT_THROW(fisher(2), EInvalidOp);
}

// Outside 0 ... 1 the rule would answer negative probabilities, a negative
// Poisson mean probabilities above 1.
TEST_F(Distributions, ProbabilitiesOutsideTheirDomainAreRejected) {
  EXPECT_THROW(negBinomDist(1, 1, 2), ERangeError);
  EXPECT_THROW(negBinomDist(INT_MAX, 2, 0.5L), ERangeError);  // f + s - 1 beyond 32 bits
  EXPECT_THROW(poisson(0, -1, false), ERangeError);
  EXPECT_THROW(poisson(3, -1, true), ERangeError);
}

// Sums whose terms grow beyond the extended range end with an overflow, or
// (Poisson) an answer from the terms that matter, instead of walking on
// through up to two billion terms.
TEST_F(Distributions, SumsOverHugeCountsEndInsteadOfHanging) {
  EXPECT_THROW(binomCumulative(INT_MAX, INT_MAX, 0.5L), EOverflow);
  EXPECT_THROW(critBinom(INT_MAX, 0.5L, 1), EOverflow);
  EXPECT_EQ(poissonCumulative(INT_MAX, 0), 1.0L);
  EXPECT_EQ(poissonCumulative(INT_MAX, 1e6L), 1.0L);
  EXPECT_EQ(poissonCumulative(3, 1e9L), 0.0L);
  EXPECT_THROW(hypGeomCumulative(1000000000, 1000000000, 1000000000, 2000000000), EOverflow);
}
