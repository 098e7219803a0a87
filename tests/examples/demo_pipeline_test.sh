#!/usr/bin/env bash
# The demo pipeline end to end on a small generated catalogue: tolvaran and merrowin
# run with piped answers, their files appear with the counts the answers imply, and the
# picture is a PNG of 1200 x 800 pixels. A run whose program stops on a fault must make
# the demo fail, not pass it off as done. Skipped (77) without gnuplot.
# Usage: demo_pipeline_test.sh BIN_DIR SOURCE_DIR WORK_DIR
set -uo pipefail
Bin=$(cd "$1" && pwd)
Source=$(cd "$2" && pwd)
Work=$3
. "$Source/tests/examples/lib.sh"
if ! command -v gnuplot >/dev/null 2>&1; then
  echo "gnuplot is not installed (Debian: gnuplot-nox): skipped"
  exit 77
fi
rm -rf "$Work" && mkdir -p "$Work/in" && cd "$Work" || exit 1

# 400 events, windows of 60 shifted by 20: 18 windows, 12 period values.
"$Bin/gen_events" --events 400 --period 8,20 --depth 0.9 --seed 3 --output in/small_events.txt
printf 'small_events.txt\n12\n60\n20\n' >in/tolvaran_answers.txt
printf '4\n' >in/merrowin_answers.txt
Demo=("$Source/examples/demo.sh" --no-build --no-install --build-dir "$Bin")

"${Demo[@]}" --output run --events in/small_events.txt \
  --tolvaran-answers in/tolvaran_answers.txt --merrowin-answers in/merrowin_answers.txt >demo.log 2>&1
Status=$?
check "the demo succeeds" test "$Status" = 0
[ "$Status" = 0 ] || cat demo.log
check "it names the picture" grep -q "Picture: .*/run/skeleton.png" demo.log
check "the grid holds 18 windows x 12 periods" \
  test "$(sed -n 2p run/KTX_out.grd | tr -d '\r' | awk '{ print $1, $2 }')" = "18 12"
check "the stretch table has 18 lines" test "$(grep -c . run/StretchCoeff.dat)" = 18
check "18 curve files" test "$(find run/DeltaLogLik_for_each_Window -name '*.dat' | wc -l)" = 18
check "the skeleton has maxima" test -s run/KTX_Skeleton.dat
check "the picture is a 1200 x 800 PNG" test "$(png_size run/skeleton.png)" = "1200 800"

# The answers name a file that is not there: tolvaran asks again until its input ends.
printf 'no_such_file.txt\n12\n60\n20\n' >in/bad_answers.txt
"${Demo[@]}" --output bad --events in/small_events.txt \
  --tolvaran-answers in/bad_answers.txt --merrowin-answers in/merrowin_answers.txt >bad.log 2>&1
Status=$?
check "a run that does not complete fails the demo" test "$Status" != 0
check "and says so" grep -q "tolvaran did not complete" bad.log
check "and draws no picture" test ! -e bad/skeleton.png

finish demo-pipeline
