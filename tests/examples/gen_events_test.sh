#!/usr/bin/env bash
# gen_events: the same seed gives the same bytes, the bundled sample is what its
# command writes, the catalogue carries the requested modulation, and bad options are
# refused.
# Usage: gen_events_test.sh BUILD_DIR SOURCE_DIR WORK_DIR
set -uo pipefail
Gen=$(cd "$1" && pwd)/gen_events
Source=$(cd "$2" && pwd)
Work=$3
[ -x "$Gen" ] || { echo "FAIL no $Gen"; exit 1; }
rm -rf "$Work" && mkdir -p "$Work" && cd "$Work" || exit 1

. "$Source/tests/examples/lib.sh"

# --- Determinism --------------------------------------------------------------------------
"$Gen" --events 3000 --period 25,60 --depth 0.5 --drift 0.3 --rate 2 --seed 42 >a.txt
"$Gen" --events 3000 --period 25,60 --depth 0.5 --drift 0.3 --rate 2 --seed 42 --output b.txt
"$Gen" --events 3000 --period 25,60 --depth 0.5 --drift 0.3 --rate 2 --seed 43 >c.txt
check "the same seed gives the same bytes (standard output and --output alike)" cmp -s a.txt b.txt
check "another seed gives another catalogue" test "$(cmp -s a.txt c.txt; echo $?)" = 1
# The checked-in sample pins the bytes down across platforms and versions: a change of
# the generator that would shift it shows here.
"$Gen" --events 5000 --period 40,80 --depth 0.6 --seed 1 >sample.txt
check "examples/sample_events.txt is what its command writes" cmp -s sample.txt "$Source/examples/sample_events.txt"

# --- The catalogue ------------------------------------------------------------------------
# Every line one plain number, as many as asked, non-decreasing.
check "3000 lines, each a plain number, non-decreasing" awk '
  $0 !~ /^[0-9]+(\.[0-9]+)?$/ { exit 1 }
  NR > 1 && $1 + 0 < prev { exit 1 }
  { prev = $1 + 0 }
  END { exit NR == 3000 ? 0 : 1 }' a.txt
check "the mean rate is the one asked for (2 events per time unit)" awk '
  END { r = NR / $1; exit (r > 1.9 && r < 2.1) ? 0 : 1 }' a.txt

# Phase coherence R = |mean of exp(2 pi i t / P)| over a stretch of events: about
# depth / 2 at the period in force there, near 1/sqrt(n) at a period that is not.
coherence() {  # FILE FIRST LAST PERIOD -> R
  awk -v First="$2" -v Last="$3" -v P="$4" '
    NR >= First && NR <= Last { a = 6.283185307179586 * $1 / P; c += cos(a); s += sin(a); n++ }
    END { printf "%.4f\n", sqrt(c * c + s * s) / n }' "$1"
}
in_range() { awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit (v >= lo && v <= hi) ? 0 : 1 }'; }
"$Gen" --events 20000 --period 40,80 --depth 0.6 --seed 5 >two.txt
"$Gen" --events 20000 --period 40 --depth 0.6 --drift 1 --seed 5 >drift.txt
"$Gen" --events 20000 --period 40 --depth 0 --seed 5 >flat.txt
while read -r File First Last Period Lo Hi What; do
  R=$(coherence "$File" "$First" "$Last" "$Period")
  check "$What (R = $R)" in_range "$R" "$Lo" "$Hi"
done <<'EOF'
two.txt       1 10000 40 0.26 0.34 first half of 40,80 at period 40
two.txt   10001 20000 80 0.26 0.34 second half of 40,80 at period 80
two.txt   10001 20000 40 0.00 0.05 second half of 40,80 not at period 40
drift.txt     1   500 40 0.18 0.45 drift 1 starts at period 40
drift.txt 19501 20000 80 0.18 0.45 drift 1 ends at period 80
drift.txt 19501 20000 40 0.00 0.10 drift 1 has left period 40 by its end
flat.txt      1 20000 40 0.00 0.03 depth 0 carries no period
EOF

# --- Options ------------------------------------------------------------------------------
check "--help describes the options" bash -c "'$Gen' --help | grep -q -- '--drift'"
while read -r Args; do
  # shellcheck disable=SC2086
  "$Gen" $Args >out.txt 2>err.txt
  Status=$?
  check "refuses: $Args" test "$Status" = 2 -a ! -s out.txt -a -s err.txt
done <<'EOF'
--events 0
--events 12x
--depth 1.5
--period 40,0
--period 40,
--drift -1
--rate 0
--seed -3
--colour blue
--events
EOF

finish gen_events
