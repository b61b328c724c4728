#!/bin/bash
# Makes a large working folder with the sample generator's writers and times
# the program's start on it (see LargeFolderBench.cpp). The folder is kept
# for the next run with the same sizes; its path's casing matters under Wine,
# so it can be given (an all-upper-case one shows the difference).
#   bench/large-folder.sh PORTFOLIOS ASSETS YEARS [FOLDER] [ROUNDS]
set -e -o pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KESTROVA_BUILD:-$root/build}
portfolios=$1
assets=$2
years=$3
folder=${4:-/tmp/kestrova-large-$portfolios-$assets-$years}
rounds=${5:-1}
if [ ! -f "$folder/DATA/FOLIOS/$portfolios/0.INI" ]; then
  started=$(date +%s)
  python3 "$root/bench/make_large_folder.py" "$folder" "$portfolios" "$assets" "$years"
  echo "folder of $portfolios x $assets x $years years written in $(($(date +%s) - started)) s: $folder"
fi
export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
cmake --build "$build" --target LargeFolderBench >/dev/null
folder=$(cd "$folder" && pwd -P)
windows=$(printf 'Z:%s' "$folder" | tr '/' '\\')
# Processor clock ticks so far of the program started in the folder (its
# Unix working folder is the working folder).
ticks() {
  for pid in $(pgrep -f 'Kestrova\.exe'); do
    if [ "$(readlink "/proc/$pid/cwd")" = "$folder" ]; then
      awk '{ print $14 + $15 }' "/proc/$pid/stat"
      return
    fi
  done
  echo 0
}
seconds_since() {
  awk -v now="$(ticks)" -v before="$1" -v hertz="$(getconf CLK_TCK)" 'BEGIN { printf "%.2f", (now - before) / hertz }'
}
carriage=$(printf '\r')
"$root/tools/wine-run" "$build/bench/LargeFolderBench.exe" "$windows\\" "$portfolios" "$rounds" |
  while IFS= read -r line; do
    line=${line%"$carriage"}
    case "$line" in
      "loading from here" | "idle from here") before=$(ticks) ;;
      "loaded") echo "processor time of the load: $(seconds_since "$before") s" ;;
      "idle until here") echo "processor time of the idle program over 5 s: $(seconds_since "$before") s (goal: none)" ;;
      *) echo "$line" ;;
    esac
  done
