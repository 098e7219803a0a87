#!/usr/bin/env bash
# SIGINT, SIGTERM and SIGHUP (control-C, a request to stop, a closed console) end the
# program with one line on stderr that names the event and the status 128 + the
# signal's number, both while a question waits for its answer and during the scan.
#
# usage: signals.sh BUILD_DIR SCRATCH_DIR
BUILD=$(cd "$1" && pwd)
WORK=$2
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/lib.sh"
mkdir -p "$WORK"

# Waits up to 30 seconds until the transcript holds the fixed text: WAIT_FOR TEXT
WAIT_FOR() {
  local i
  for i in $(seq 300); do
    grep -Fq -- "$1" "$DIR/.stdout" 2> /dev/null && return 0
    sleep 0.1
  done
  return 1
}

# SIGNAL_CASE PROGRAM SIGNAL WHEN ANSWERS TEXT: starts the program with the answers on a
# pipe that stays open, waits until the transcript shows the text, sends the signal.
SIGNAL_CASE() {
  local program=$1 signal=$2 when=$3 answers=$4 text=$5 event
  case $signal in
    INT) event="interrupted from the console \(SIGINT\)" ;;
    TERM) event="terminated \(SIGTERM\)" ;;
    HUP) event="console closed \(SIGHUP\)" ;;
  esac
  BEGIN_CASE "$program, SIG$signal $when"
  mkfifo "$DIR/.answers"
  (cd "$DIR" && exec "$BUILD/$program" < .answers > .stdout 2> .stderr) &
  local pid=$!
  exec 3> "$DIR/.answers"
  printf '%b' "$answers" >&3
  if WAIT_FOR "$text"; then
    kill -s "$signal" "$pid"
  else
    FAIL "the transcript never showed \"$text\""
    kill -s KILL "$pid"
  fi
  wait "$pid"
  STATUS=$?
  exec 3>&-
  local expected=$((128 + $(kill -l "$signal")))
  [ "$STATUS" -eq "$expected" ] || FAIL "exit status $STATUS, expected $expected"
  if [ "$(wc -l < "$DIR/.stderr")" -ne 1 ] || ! grep -Eq "^$program: $event\$" "$DIR/.stderr"; then
    FAIL "stderr should be the one line \"$program: $event\":"
    head -20 "$DIR/.stderr"
  fi
}

for signal in INT TERM HUP; do
  NEW_DIR "tolvaran-dialogue-$signal"
  seq 10 > "$DIR/events.txt"
  SIGNAL_CASE tolvaran "$signal" "at a question" 'events.txt\n' "What is the number of period values = ?"

  # Windows of 2 events and five million period nodes: the scan runs for minutes, and
  # its progress records reach the transcript in blocks.
  NEW_DIR "tolvaran-scan-$signal"
  seq 3 > "$DIR/events.txt"
  SIGNAL_CASE tolvaran "$signal" "during the scan" 'events.txt\n5000000\n2\n1\n' "+         1   4999"
  [ -e "$DIR/KTX_out.grd" ] && FAIL "KTX_out.grd was written"
done

for signal in INT TERM HUP; do
  NEW_DIR "merrowin-threshold-$signal"
  printf '100 1 1 0.4\n' > "$DIR/StretchCoeff.dat"
  SIGNAL_CASE merrowin "$signal" "at the threshold question" '' "DeltaLogLik threshold= ?"
done

# A hang-up that whoever started the program ignores ("nohup tolvaran") stays ignored:
# the run goes on to its normal end.
NEW_DIR "tolvaran-nohup"
BEGIN_CASE "tolvaran started with SIGHUP ignored"
seq 10 > "$DIR/events.txt"
mkfifo "$DIR/.answers"
(cd "$DIR" && trap '' HUP && exec "$BUILD/tolvaran" < .answers > .stdout 2> .stderr) &
pid=$!
exec 3> "$DIR/.answers"
printf 'events.txt\n' >&3
WAIT_FOR "What is the number of period values = ?" || FAIL "the transcript never showed the question"
kill -s HUP "$pid"
printf '3\n10\n10\n' >&3
exec 3>&-
wait "$pid"
STATUS=$?
[ "$STATUS" -eq 0 ] || FAIL "exit status $STATUS, expected 0"
[ -s "$DIR/KTX_out.grd" ] || FAIL "KTX_out.grd was not written"

FINISH
