#pragma once

// Probability distributions: density or probability, cumulative function and
// inverse, in extended precision. Invalid arguments raise ERangeError, an
// inverse search that does not converge EIntOverflow; poles, logarithms of
// non-positive numbers and zero divisors the rules leave unchecked raise the
// floating-point exceptions. The sheet passes eps = 1E-10 and itmax = 10000.

// Normal and log-normal.
long double normCumulative(long double x, long double mu, long double sigma, int itmax);
long double normDensity(long double x, long double mu, long double sigma);
long double normDist(long double x, long double mu, long double sigma, bool cumulative, int itmax);
long double normsDist(long double z, bool cumulative, int itmax);
long double normInv(long double p, long double mu, long double sigma);
long double standardize(long double x, long double mu, long double sigma);
long double logNormDist(long double x, long double mu, long double sigma, bool cumulative, int itmax);
long double logInv(long double p, long double mu, long double sigma);
long double confidence(long double alpha, long double sigma, int n);

// Discrete distributions.
long double binomProbability(int k, int n, long double p);
long double binomCumulative(int k, int n, long double p);
long double binomDist(int k, int n, long double p, bool cumulative);
// The smallest k with binomCumulative(k, n, p) >= alpha; n when there is none.
int critBinom(int n, long double p, long double alpha);
long double negBinomDist(int failures, int successes, long double p);
long double poissonProbability(int k, long double mean);
long double poissonCumulative(int k, long double mean);
long double poisson(int k, long double mean, bool cumulative);
long double hypGeomProbability(int sampleSuccesses, int sampleSize, int populationSuccesses, int populationSize);
long double hypGeomCumulative(int sampleSuccesses, int sampleSize, int populationSuccesses, int populationSize);
long double hypGeomDist(int sampleSuccesses, int sampleSize, int populationSuccesses, int populationSize,
                        bool cumulative);

// Exponential, gamma and chi-square.
long double exponCumulative(long double x, long double lambda);
long double exponDensity(long double x, long double lambda);
long double exponDist(long double x, long double lambda, bool cumulative);
long double exponInv(long double p, long double lambda);
long double gammaDensity(long double x, long double alpha, long double beta);
long double gammaDist(long double x, long double alpha, long double beta, bool cumulative, int itmax);
// The cumulative form is the upper tail P(X > x).
long double chiDist(long double x, int degrees, bool cumulative, int itmax);
long double chiInv(long double p, int degrees, long double eps, int itmax);

// Beta, F and Student's t.
long double betaDensity(long double x, long double a, long double b);
long double betaDist(long double x, long double a, long double b, bool cumulative, long double eps);
long double fCumulative(long double x, int d1, int d2, long double eps);
long double fDensity(long double x, int d1, int d2);
long double fDist(long double x, int d1, int d2, bool cumulative, long double eps);
long double fInv(long double q, int d1, int d2, long double eps, int itmax);
// The cumulative form is the probability of -|x| ... |x|.
long double tCumulative(long double x, int degrees, long double eps);
long double tDensity(long double x, int degrees);
long double tDist(long double x, int degrees, bool cumulative, long double eps);
long double tInv(long double q, int degrees, long double eps, int itmax);

// Weibull and Fisher.
long double weibullCumulative(long double x, long double alpha, long double beta);
long double weibullDensity(long double x, long double alpha, long double beta);
long double weibull(long double x, long double alpha, long double beta, bool cumulative);
long double weibullInv(long double p, long double alpha, long double beta);
long double fisher(long double x);
long double hyperbolicTangent(long double x);
