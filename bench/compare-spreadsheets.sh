#!/bin/sh
# Times Kestrova's recalculation beside Gnumeric's and LibreOffice Calc's on
# the same sheets and prints the ratios. Installs both from Debian's
# packages (root, as on the project's machines); never part of the build or
# the tests.
#   bench/compare-spreadsheets.sh [formula counts...]   default 10000 100000 1000000
# COMPARE_BEFORE=<SheetScaleBench.exe of an earlier build> shows its
# figures beside this build's; COMPARE_ROUNDS sets the rounds (5).
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
if ! command -v ssconvert >/dev/null || ! command -v soffice >/dev/null || [ ! -x /usr/bin/time ] ||
  ! command -v ltrace >/dev/null ||
  ! /usr/bin/python3 -c "import uno" 2>/dev/null; then
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends gnumeric libreoffice-calc-nogui \
    python3-uno time ltrace
fi
export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
cmake --build "$root/build" --target SheetScaleBench >/dev/null
# Debian's bridge belongs to Debian's Python.
exec /usr/bin/python3 "$root/bench/compare_spreadsheets.py" "$root" "$@"
