#!/usr/bin/env bash
# Large inputs: an event file of 10,000,000 lines loads, both passes, in memory that grows
# with the events alone; single lines of 100 MB, in an event file, a grid and an answer,
# are read through. Slow reading shows as the test's time-out.
#
# usage: large_inputs.sh BUILD_DIR SCRATCH_DIR
BUILD=$(cd "$1" && pwd)
WORK=$2
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/lib.sh"
mkdir -p "$WORK"

if ! command -v /usr/bin/time > /dev/null; then
  echo "GNU time (/usr/bin/time) is needed to measure the peak memory" >&2
  exit 1
fi

# A run of tolvaran in $DIR that answers the file name and ends at the first question;
# RSS receives its peak resident memory in KiB: RUN_MEASURED NAME
RUN_MEASURED() {
  (cd "$DIR" && printf '%s\n' "$1" | /usr/bin/time -f %M -o .rss "$BUILD/tolvaran" > .stdout 2> .stderr)
  STATUS=$?
  # GNU time notes a non-zero status on a line before the figure.
  RSS=$(tail -n 1 "$DIR/.rss")
}

BEGIN_CASE "tolvaran, 10,000,000 event times"
NEW_DIR ten-million
seq 1000000 > "$DIR/small.txt"
seq 10000000 > "$DIR/large.txt"
RUN_MEASURED small.txt
rssSmall=$RSS
EXPECT_LINE "Number of time moments=     1000000"
EXPECT_ABNORMAL_END "end of standard input"
RUN_MEASURED large.txt
rssLarge=$RSS
EXPECT_LINE "Number of time moments=    10000000"
EXPECT_ABNORMAL_END "end of standard input"
# The times themselves take 4 bytes each; the file (78 MB) or its lines must not be held.
growth=$(( (rssLarge - rssSmall) * 1024 / 9000000 ))
echo "peak memory: $rssSmall KiB for 1,000,000 times, $rssLarge KiB for 10,000,000: $growth bytes per time"
[ "$growth" -le 6 ] || FAIL "memory grows by $growth bytes per event time"
rm -f "$DIR/small.txt" "$DIR/large.txt"

# 100 MB of blanks around one number, without a line end: one time moment, read on
# both passes, then the report of a process without duration.
for layout in number-first number-last; do
  BEGIN_CASE "tolvaran, a 100 MB line without a line end, $layout"
  NEW_DIR "long-line-$layout"
  {
    [ $layout = number-first ] && printf '7'
    head -c 100000000 /dev/zero | tr '\0' ' '
    [ $layout = number-last ] && printf '7'
  } > "$DIR/events.txt"
  RUN tolvaran 'events.txt\n\n'
  EXPECT_LINE "Number of time moments=           1"
  EXPECT_LINE "The process must have non-zero duration."
  EXPECT_PAUSE_AND_STOP
  rm -f "$DIR/events.txt"
done

# A name answer of 100 MB, through a pipe as typed answers come: its first 64
# characters are the name.
BEGIN_CASE "tolvaran, a 100 MB name answer"
NEW_DIR long-answer
printf '1\n2\n' > "$DIR/$(printf 'n%.0s' $(seq 64))"
{ printf 'n%.0s' $(seq 64); head -c 100000000 /dev/zero | tr '\0' 'x'; printf '\n'; } > "$DIR/.answers"
(cd "$DIR" && cat .answers | "$BUILD/tolvaran" > .stdout 2> .stderr)
STATUS=$?
EXPECT_LINE "Number of time moments=           2"
EXPECT_ABNORMAL_END "end of standard input"
rm -f "$DIR/.answers"

# A grid whose line 6 is 100 MB long: its values are counted on the first 2000
# characters, and the rows read through it; the last row has no line end.
BEGIN_CASE "merrowin, a 100 MB line 6 of the grid"
NEW_DIR long-grid-line
printf '100 250 250 0.4\n150 300 250 0.4\n200 350 250 0.4\n' > "$DIR/StretchCoeff.dat"
{
  printf 'DSAA\n3 3\n100 200\n0 2\n0 1\n1 2 3'
  head -c 100000000 /dev/zero | tr '\0' ' '
  printf '\n5 6 7\n1 2 3'
} > "$DIR/KTX_out.grd"
RUN merrowin '0\n'
[ "$STATUS" -eq 0 ] && [ ! -s "$DIR/.stderr" ] || FAIL "status $STATUS: $(cat "$DIR/.stderr")"
[ "$(grep -c . "$DIR/KTX_Skeleton.dat")" -eq 3 ] || FAIL "KTX_Skeleton.dat should hold 3 lines"
rm -f "$DIR/KTX_out.grd"

FINISH
