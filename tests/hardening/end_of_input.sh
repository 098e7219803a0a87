#!/usr/bin/env bash
# Standard input that ends while a question, a name or the Enter of the pause is awaited
# is the abnormal end, at every question of both programs: the question is the last
# line shown, and no question is asked again.
#
# usage: end_of_input.sh BUILD_DIR SCRATCH_DIR
BUILD=$(cd "$1" && pwd)
WORK=$2
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/lib.sh"
mkdir -p "$WORK"

PERIODS="What is the number of period values = ?"
WINDOW=("What is the length of time window" "in number of events ?")
SHIFT=("What is the shift of moving time window" "in number of events ?")

# CASE NAME ANSWERS LAST_LINE...: tolvaran over ten event times (or decreasing ones for
# the pause), given the answers, ends abnormally after the lines given.
TOLVARAN_CASE() {
  local name=$1 answers=$2
  shift 2
  BEGIN_CASE "tolvaran, end of input at $name"
  NEW_DIR "tolvaran-$name"
  seq 10 > "$DIR/events.txt"
  printf '2\n1\n' > "$DIR/decreasing.txt"
  RUN tolvaran "$answers"
  EXPECT_LAST_LINES "$@"
  EXPECT_ABNORMAL_END '^tolvaran: end of standard input while an answer is awaited$'
}

TOLVARAN_CASE name '' "Input filename= ?"
TOLVARAN_CASE name-again 'missing.txt\n' "No such file within current directory !" "Input filename= ?"
TOLVARAN_CASE unit-question '\n' "File name missing or blank - please enter file name" "UNIT 1? "
TOLVARAN_CASE periods 'events.txt\n' "Number of time moments=          10" "$PERIODS"
TOLVARAN_CASE periods-blank-lines 'events.txt\n\n  \n' "Number of time moments=          10" "$PERIODS"
TOLVARAN_CASE periods-again 'events.txt\nabc\n1\n' "$PERIODS" "$PERIODS"
TOLVARAN_CASE window 'events.txt\n5\n' "$PERIODS" "${WINDOW[@]}"
TOLVARAN_CASE window-again 'events.txt\n5\n11\n' "Moving time window is too long !" "${WINDOW[@]}"
TOLVARAN_CASE shift 'events.txt\n5\n10\n' "${WINDOW[@]}" "${SHIFT[@]}"
TOLVARAN_CASE shift-again 'events.txt\n5\n10\n11\n' \
  "Moving time window shift should be 1 <= iTshift <=          10" "${SHIFT[@]}"
TOLVARAN_CASE pause 'decreasing.txt\n' "The sequence of time moments must be with non-decreasing values." \
  "Press <Enter> to terminate..."

# The inputs of merrowin by kind (good, no-stretch, mismatch, labels): MERROWIN_INPUTS KIND
MERROWIN_INPUTS() {
  local nX=3 xHi=200
  [ "$1" = mismatch ] && nX=2
  # Columns 4.5 events apart: the second window's label is not whole.
  [ "$1" = labels ] && xHi=109
  [ "$1" != no-stretch ] && printf '100 250 250 0.4\n150 300 250 0.4\n200 350 250 0.4\n' > "$DIR/StretchCoeff.dat"
  printf 'DSAA\n%s 3\n100 %s\n0 2\n0 1\n1 2 3\n5 6 7\n1 2 3\n' "$nX" "$xHi" > "$DIR/KTX_out.grd"
}

# MERROWIN_CASE NAME INPUTS ANSWERS LAST_LINE...: merrowin over inputs of the kind
# given, given the answers, ends abnormally after the lines given.
MERROWIN_CASE() {
  local name=$1 inputs=$2 answers=$3
  shift 3
  BEGIN_CASE "merrowin, end of input at $name"
  NEW_DIR "merrowin-$name"
  MERROWIN_INPUTS "$inputs"
  RUN merrowin "$answers"
  EXPECT_LAST_LINES "$@"
  EXPECT_ABNORMAL_END '^merrowin: end of standard input while an answer is awaited$'
}

THRESHOLD="DeltaLogLik threshold= ?"
MERROWIN_CASE threshold good '' "--------------------------------------------------------" "$THRESHOLD"
MERROWIN_CASE threshold-again good '-1\nabc\n' "$THRESHOLD" "$THRESHOLD" "$THRESHOLD"
MERROWIN_CASE pause-no-stretch-table no-stretch '' "File \"StretchCoeff.dat\" is absent." "Press <Enter> to terminate..."
MERROWIN_CASE pause-mismatch mismatch '0\n' "Two input files do not correspond each other!" "Press <Enter> to terminate..."
MERROWIN_CASE pause-labels labels '0\n' "Time labels are not integer." "Press <Enter> to terminate..."
# The line of the maximum found before the fault stays in the skeleton.
SKELETON_LINE=$'       100    1.00000        25.0000    \r'
[ "$(cat "$DIR/KTX_Skeleton.dat")" = "$SKELETON_LINE" ] || FAIL "KTX_Skeleton.dat should hold the line of window 1"

# Standard streams closed at the start: input that is closed ends like input at its
# end, and with stderr closed the report must not land in the skeleton, which is open
# at the pause.
BEGIN_CASE "merrowin, standard input closed"
NEW_DIR merrowin-stdin-closed
MERROWIN_INPUTS good
(cd "$DIR" && "$BUILD/merrowin" <&- > .stdout 2> .stderr)
STATUS=$?
EXPECT_LAST_LINES "$THRESHOLD"
EXPECT_ABNORMAL_END '^merrowin: end of standard input while an answer is awaited$'

BEGIN_CASE "merrowin, stderr closed, end of input at the pause"
NEW_DIR merrowin-stderr-closed
MERROWIN_INPUTS labels
(cd "$DIR" && printf '0\n' | "$BUILD/merrowin" > .stdout 2>&-)
STATUS=$?
[ "$STATUS" -eq 2 ] || FAIL "exit status $STATUS, expected 2"
[ "$(cat "$DIR/KTX_Skeleton.dat")" = "$SKELETON_LINE" ] || FAIL "KTX_Skeleton.dat should hold the line of window 1 alone"

FINISH
