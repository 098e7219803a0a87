#!/usr/bin/env bash
# Hostile input files end cleanly: binary garbage, a NUL byte, bytes that are not UTF-8,
# and a directory or a named pipe where a file is wanted, for every input of both
# programs; a name answer with a NUL byte; scan storage beyond the machine's memory.
#
# usage: hostile_inputs.sh BUILD_DIR SCRATCH_DIR
BUILD=$(cd "$1" && pwd)
WORK=$2
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/lib.sh"
mkdir -p "$WORK"

# ---- tolvaran: the event-time file --------------------------------------------------

# The content of the event file by case: what reads as a time ends at the first line
# that is not a number, whatever bytes it holds.
EVENTS_garbage() { cat "$HERE/inputs/garbage.bin"; }
# A NUL ends no field early: "3<NUL>" is no number, so the data end before it.
EVENTS_nul() { printf '1\n2\n3\0\n0\n'; }
EVENTS_not_utf8() { printf '1\n2\n\xff\xfe3\n0\n'; }
EVENTS_nul_only() { printf '\0\0\0\n'; }

for kind in garbage nul not_utf8 nul_only; do
  BEGIN_CASE "tolvaran, event file: $kind"
  NEW_DIR "events-$kind"
  "EVENTS_$kind" > "$DIR/events.txt"
  RUN tolvaran 'events.txt\n\n'
  case $kind in
    garbage|nul_only)
      EXPECT_LINE "Number of time moments=           0"
      EXPECT_PAUSE_AND_STOP ;;
    *)
      # Two times, then the first question, then the end of the answers.
      EXPECT_LINE "Number of time moments=           2"
      EXPECT_LAST_LINES "What is the number of period values = ?"
      EXPECT_ABNORMAL_END "end of standard input" ;;
  esac
done

# Something that is not a plain file where the event file should be: the name is asked
# again, as for a missing file.
for kind in directory fifo; do
  BEGIN_CASE "tolvaran, event file: a $kind"
  NEW_DIR "events-$kind"
  if [ $kind = directory ]; then mkdir "$DIR/events.txt"; else mkfifo "$DIR/events.txt"; fi
  RUN tolvaran 'events.txt\n'
  EXPECT_LAST_LINES "Input filename= ?" "No such file within current directory !" "Input filename= ?"
  EXPECT_ABNORMAL_END "end of standard input"
done

BEGIN_CASE "tolvaran, a file name that is not UTF-8"
NEW_DIR events-name-not-utf8
printf '1\n2\n' > "$DIR/ev"$'\xff'".txt"
RUN tolvaran 'ev\xff.txt\n'
EXPECT_LINE "Number of time moments=           2"
EXPECT_ABNORMAL_END "end of standard input"

# A NUL byte in the answer is part of the name; no file has such a name, so the name
# must not be cut at the NUL and open another file.
BEGIN_CASE "tolvaran, a file name answer with a NUL byte"
NEW_DIR events-name-nul
printf '1\n2\n' > "$DIR/events.txt"
RUN tolvaran 'events.txt\0.old\n'
EXPECT_LAST_LINES "Input filename= ?" "No such file within current directory !" "Input filename= ?"
EXPECT_ABNORMAL_END "end of standard input"

# ---- merrowin: the stretch table and the grid --------------------------------------

# Three windows whose middle period node is a maximum.
STRETCH() { printf '100 250 250 0.4\n150 300 250 0.4\n200 350 250 0.4\n'; }
GRID() { printf 'DSAA\n3 3\n100 200\n0 2\n0 1\n1 2 3\n5 6 7\n1 2 3\n'; }

# The stretch table by case. NUL and bytes that are not UTF-8 in a number end the table
# there: two windows, which the grid then does not match.
STRETCH_garbage() { cat "$HERE/inputs/garbage.bin"; }
STRETCH_nul() { printf '100 250 250 0.4\n150 300 250 0.4\n200 350 250 0\0.4\n'; }
STRETCH_not_utf8() { printf '100 250 250 0.4\n150 300 250 0.4\n200 350 250 \xff0.4\n'; }

for kind in garbage nul not_utf8; do
  BEGIN_CASE "merrowin, stretch table: $kind"
  NEW_DIR "stretch-$kind"
  "STRETCH_$kind" > "$DIR/StretchCoeff.dat"
  GRID > "$DIR/KTX_out.grd"
  RUN merrowin '0\n\n'
  EXPECT_LINE "Two input files do not correspond each other!"
  EXPECT_PAUSE_AND_STOP
done

# The grid by case: its first line may hold anything; a value in a row that is no
# number is the abnormal end, as is a grid of garbage.
GRID_first_line_not_utf8() { printf '\xff\xfe\0DSAA\n'; GRID | tail -n +2; }
GRID_nul_in_a_row() { GRID | sed 's/^5 6 7$/5 6\x007/'; }
GRID_garbage() { cat "$HERE/inputs/garbage.bin"; }

for kind in first_line_not_utf8 nul_in_a_row garbage; do
  BEGIN_CASE "merrowin, grid: $kind"
  NEW_DIR "grid-$kind"
  STRETCH > "$DIR/StretchCoeff.dat"
  "GRID_$kind" > "$DIR/KTX_out.grd"
  RUN merrowin '0\n'
  case $kind in
    first_line_not_utf8)
      [ "$STATUS" -eq 0 ] && [ ! -s "$DIR/.stderr" ] || FAIL "status $STATUS: $(cat "$DIR/.stderr")"
      [ "$(grep -c . "$DIR/KTX_Skeleton.dat")" -eq 3 ] || FAIL "KTX_Skeleton.dat should hold 3 lines" ;;
    nul_in_a_row)
      EXPECT_ABNORMAL_END '^merrowin: cannot read the grid "KTX_out.grd": a value that is not a number in row 2$' ;;
    garbage)
      EXPECT_ABNORMAL_END '^merrowin: cannot read the grid "KTX_out.grd": ' ;;
  esac
done

# Something that is not a plain file in place of either input: it is absent.
for input in StretchCoeff.dat KTX_out.grd; do
  for kind in directory fifo; do
    BEGIN_CASE "merrowin, $input: a $kind"
    NEW_DIR "merrowin-$input-$kind"
    STRETCH > "$DIR/StretchCoeff.dat"
    GRID > "$DIR/KTX_out.grd"
    rm "$DIR/$input"
    if [ $kind = directory ]; then mkdir "$DIR/$input"; else mkfifo "$DIR/$input"; fi
    RUN merrowin '0\n\n'
    EXPECT_LINE "File \"$input\" is absent."
    EXPECT_PAUSE_AND_STOP
  done
done

# A header of 100000 columns and 100000 rows (40 GB of values) in a file of 1 KB, for a
# stretch table of 100000 windows: the abnormal end before the matrix is sized.
BEGIN_CASE "merrowin, a grid header that promises more than the file holds"
NEW_DIR grid-promises
yes '100 250 250 0.4' | head -n 100000 > "$DIR/StretchCoeff.dat"
{ printf 'DSAA\n100000 100000\n100 200\n0 2\n0 1\n'; yes '1 2 3 4' | head -n 120; } > "$DIR/KTX_out.grd"
RUN merrowin '0\n'
EXPECT_ABNORMAL_END '^merrowin: cannot read the grid "KTX_out.grd": the file ends before the rows that its second line promises$'

# Negative counts: a negative row count holds no rows; a negative column count matches
# no stretch table.
BEGIN_CASE "merrowin, a negative row count"
NEW_DIR grid-negative-rows
STRETCH > "$DIR/StretchCoeff.dat"
GRID | sed '2s/.*/3 -5/' > "$DIR/KTX_out.grd"
RUN merrowin '0\n'
[ "$STATUS" -eq 0 ] && [ ! -s "$DIR/.stderr" ] || FAIL "status $STATUS: $(cat "$DIR/.stderr")"
[ -f "$DIR/KTX_Skeleton.dat" ] && [ ! -s "$DIR/KTX_Skeleton.dat" ] || FAIL "KTX_Skeleton.dat should be empty"

# No windows (a stretch table of a heading alone) and a grid of no columns that counts
# 2,000,000,000 rows: nothing to read, and no time spent on the rows.
BEGIN_CASE "merrowin, no columns and 2000000000 rows"
NEW_DIR grid-no-columns
printf 'a heading\n' > "$DIR/StretchCoeff.dat"
printf 'DSAA\n0 2000000000\n0 0\n0 1\n0 1\n1\n' > "$DIR/KTX_out.grd"
(cd "$DIR" && printf '0\n' | timeout 60 "$BUILD/merrowin" > .stdout 2> .stderr)
STATUS=$?
[ "$STATUS" -eq 0 ] && [ ! -s "$DIR/.stderr" ] || FAIL "status $STATUS: $(cat "$DIR/.stderr")"
[ -f "$DIR/KTX_Skeleton.dat" ] && [ ! -s "$DIR/KTX_Skeleton.dat" ] || FAIL "KTX_Skeleton.dat should be empty"

BEGIN_CASE "merrowin, a negative column count"
NEW_DIR grid-negative-columns
STRETCH > "$DIR/StretchCoeff.dat"
GRID | sed '2s/.*/-3 3/' > "$DIR/KTX_out.grd"
RUN merrowin '0\n\n'
EXPECT_LINE "Two input files do not correspond each other!"
EXPECT_PAUSE_AND_STOP

# ---- tolvaran: scan storage ---------------------------------------------------------

# A million events, windows of 2 events moved by 1, and 2,000,000,000 period nodes ask
# for some 8 EB; the largest count of period nodes over 6 events asks for more than
# one and a half times the machine's memory. Both are refused before anything is taken:
# the report says so by comparing with the machine's memory.
NEW_DIR storage-catalogue
seq 1000000 > "$DIR/events.txt"
memory_mib=$(( $(getconf _PHYS_PAGES) * $(getconf PAGE_SIZE) / 1048576 ))
# Windows of 2147483647 floats (8 GiB each) that exceed 1.5 times the memory.
nWindows=$(( memory_mib * 3 / 2 / 8192 + 1 ))
seq $((nWindows + 1)) > "$DIR/short.txt"
for answers in "events.txt\n2000000000\n2\n1\n" "short.txt\n2147483647\n2\n1\n"; do
  BEGIN_CASE "tolvaran, scan storage beyond the machine's memory: ${answers//\\n/ }"
  RUN tolvaran "$answers"
  EXPECT_ABNORMAL_END "^tolvaran: memory cannot be obtained for the scan storage: it needs [0-9]+ MiB, more than the machine's $memory_mib MiB$"
done

FINISH
