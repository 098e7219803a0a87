#!/usr/bin/env bash
# plot_skeleton.sh on hand-made grids: values that are not finite numbers, a single
# column, rows spread over short lines, no skeleton file, and a grid that ends early.
# Skipped (77) without gnuplot.
# Usage: plot_fixtures_test.sh SOURCE_DIR WORK_DIR
set -uo pipefail
Source=$(cd "$1" && pwd)
Work=$2
. "$Source/tests/examples/lib.sh"
if ! command -v gnuplot >/dev/null 2>&1; then
  echo "gnuplot is not installed (Debian: gnuplot-nox): skipped"
  exit 77
fi
Plot=$Source/examples/plot_skeleton.sh
Fixtures=$Source/tests/examples/fixtures
rm -rf "$Work" && mkdir -p "$Work/no_skeleton" && cd "$Work" || exit 1
cp "$Fixtures/odd_values/KTX_out.grd" no_skeleton/

# fixture folder | expected status | phrases its messages must hold, split by ";"
while IFS='|' read -r Dir Want Phrase; do
  Dir=${Dir// /}; Want=${Want// /}; Phrase=${Phrase# }
  [ -d "$Fixtures/$Dir" ] && From=$Fixtures/$Dir || From=$Work/$Dir
  "$Plot" "$From" "$Work/$Dir.png" >"$Dir.out" 2>&1
  Status=$?
  check "$Dir: exit status $Want" test "$Status" = "$Want"
  IFS=';' read -r -a Phrases <<<"$Phrase"
  for p in "${Phrases[@]}"; do
    p=${p# }
    check "$Dir: says '$p'" grep -qF "$p" "$Dir.out"
  done
  if [ "$Want" = 0 ]; then
    check "$Dir: a 1200 x 800 PNG" test "$(png_size "$Work/$Dir.png")" = "1200 800"
  else
    check "$Dir: no picture" test ! -e "$Work/$Dir.png"
  fi
done <<'TABLE'
odd_values    | 0 | 3 grid values are not finite numbers; 3 windows x 4 periods, 2 skeleton maxima
single_column | 0 | 1 windows x 3 periods, 1 skeleton maxima
no_skeleton   | 0 | drawing the grid alone
short_grid    | 1 | the grid ends after 2 of its 3 rows
TABLE

finish plot-fixtures
