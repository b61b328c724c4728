// Yearly growth between two prices a number of days apart.
function yearlyGrowth(first, last, days) {
  if (first <= 0 || days <= 0) return 0;
  return Math.pow(last / first, 365 / days) - 1;
}
