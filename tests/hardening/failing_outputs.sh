#!/usr/bin/env bash
# Output files that cannot be written end the program abnormally: one line on stderr that
# names the file and the reason, a non-zero status, and every output finished before the
# failing one complete, while the outputs after it keep what they held.
#
# usage: failing_outputs.sh BUILD_DIR SCRATCH_DIR
BUILD=$(cd "$1" && pwd)
WORK=$2
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/lib.sh"
mkdir -p "$WORK"
WORK=$(cd "$WORK" && pwd)

# 41 events in windows of 2 moved by 1: 40 windows of 2 period nodes, so that the stretch
# table (2280 bytes) is larger than the grid (1446 bytes) and each curve file is 64 bytes.
ANSWERS='events.txt\n2\n2\n1\n'
EVENTS() { seq 41 > "$DIR/events.txt"; }

# The outputs of a run that nothing disturbs, to compare with.
NEW_DIR reference
EVENTS
RUN tolvaran "$ANSWERS"
[ "$STATUS" -eq 0 ] || { echo "the reference run failed: $(cat "$DIR/.stderr")"; exit 1; }
REFERENCE=$DIR

# Outputs of an earlier run that a failing run must leave as they are.
OLD_OUTPUTS() {
  printf 'an earlier stretch table\r\n' > "$DIR/StretchCoeff.dat"
  mkdir -p "$DIR/DeltaLogLik_for_each_Window"
  printf 'an earlier curve\r\n' > "$DIR/DeltaLogLik_for_each_Window/0000000002.dat"
}
EXPECT_OLD_STRETCH_TABLE() {
  [ "$(cat "$DIR/StretchCoeff.dat")" = $'an earlier stretch table\r' ] || FAIL "StretchCoeff.dat was changed"
}
EXPECT_OLD_CURVES() {
  [ "$(ls "$DIR/DeltaLogLik_for_each_Window")" = 0000000002.dat ] &&
    [ "$(cat "$DIR/DeltaLogLik_for_each_Window/0000000002.dat")" = $'an earlier curve\r' ] ||
    FAIL "the curve files were changed"
}

# ---- The working directory is read-only ---------------------------------------------

# The superuser writes anywhere, so the program then runs as nobody (AS_USER). Says
# whether the case can run: READ_ONLY_USABLE PROGRAM
AS_USER=()
READ_ONLY_USABLE() {
  if [ "$(id -u)" -eq 0 ]; then
    if ! command -v setpriv > /dev/null; then
      echo "SKIPPED: running as root without setpriv, so no directory is read-only to the program"
      return 1
    fi
    AS_USER=(setpriv --reuid 65534 --regid 65534 --clear-groups)
  fi
  if ! "${AS_USER[@]}" test -x "$BUILD/$1" -a -r "$DIR" -a -x "$DIR"; then
    echo "SKIPPED: the user 65534 cannot reach $BUILD/$1 or $DIR"
    return 1
  fi
}

BEGIN_CASE "tolvaran, a read-only working directory"
NEW_DIR read-only
EVENTS
OLD_OUTPUTS
chmod 555 "$DIR" "$DIR/DeltaLogLik_for_each_Window"
chmod 444 "$DIR/StretchCoeff.dat" "$DIR/DeltaLogLik_for_each_Window/0000000002.dat"
if READ_ONLY_USABLE tolvaran; then
  (cd "$DIR" && printf '%b' "$ANSWERS" | "${AS_USER[@]}" "$BUILD/tolvaran" > .stdout 2> .stderr)
  STATUS=$?
  EXPECT_ABNORMAL_END '^tolvaran: cannot open output file "KTX_out.grd": Permission denied$'
  [ -e "$DIR/KTX_out.grd" ] && FAIL "KTX_out.grd was created"
  EXPECT_OLD_STRETCH_TABLE
  EXPECT_OLD_CURVES
fi
chmod 755 "$DIR" "$DIR/DeltaLogLik_for_each_Window"

# ---- Something else stands where an output goes -------------------------------------

BEGIN_CASE "tolvaran, a directory named KTX_out.grd"
NEW_DIR grid-directory
EVENTS
OLD_OUTPUTS
mkdir "$DIR/KTX_out.grd"
RUN tolvaran "$ANSWERS"
EXPECT_ABNORMAL_END '^tolvaran: cannot open output file "KTX_out.grd": Is a directory$'
[ -d "$DIR/KTX_out.grd" ] && [ -z "$(ls -A "$DIR/KTX_out.grd")" ] || FAIL "the directory KTX_out.grd was changed"
EXPECT_OLD_STRETCH_TABLE
EXPECT_OLD_CURVES

BEGIN_CASE "tolvaran, a plain file named DeltaLogLik_for_each_Window"
NEW_DIR curve-file-in-the-way
EVENTS
printf 'in the way\n' > "$DIR/DeltaLogLik_for_each_Window"
RUN tolvaran "$ANSWERS"
EXPECT_ABNORMAL_END "^tolvaran: cannot open output file \"$DIR/DeltaLogLik_for_each_Window/0000000002.dat\": Not a directory$"
EXPECT_SAME_FILE "$REFERENCE/KTX_out.grd" "$DIR/KTX_out.grd"
EXPECT_SAME_FILE "$REFERENCE/StretchCoeff.dat" "$DIR/StretchCoeff.dat"
[ "$(cat "$DIR/DeltaLogLik_for_each_Window")" = "in the way" ] || FAIL "the plain file was changed"

# Not a failure: an output sent to /dev/null is written there, and the run goes on.
BEGIN_CASE "tolvaran, KTX_out.grd a link to /dev/null"
NEW_DIR grid-to-null
EVENTS
ln -s /dev/null "$DIR/KTX_out.grd"
RUN tolvaran "$ANSWERS"
[ "$STATUS" -eq 0 ] && [ ! -s "$DIR/.stderr" ] || FAIL "status $STATUS: $(cat "$DIR/.stderr")"
EXPECT_SAME_FILE "$REFERENCE/StretchCoeff.dat" "$DIR/StretchCoeff.dat"
EXPECT_SAME_FILE "$REFERENCE/DeltaLogLik_for_each_Window/0000000041.dat" "$DIR/DeltaLogLik_for_each_Window/0000000041.dat"

# A named pipe in place of the grid: with nothing reading it, the opening fails at once
# (a hang shows as the end by time-out's SIGTERM); with a reader, the grid goes through.
BEGIN_CASE "tolvaran, KTX_out.grd a named pipe that nothing reads"
NEW_DIR grid-fifo
EVENTS
OLD_OUTPUTS
mkfifo "$DIR/KTX_out.grd"
(cd "$DIR" && printf '%b' "$ANSWERS" | timeout 60 "$BUILD/tolvaran" > .stdout 2> .stderr)
STATUS=$?
EXPECT_ABNORMAL_END '^tolvaran: cannot open output file "KTX_out.grd": No such device or address$'
EXPECT_OLD_STRETCH_TABLE
EXPECT_OLD_CURVES

BEGIN_CASE "tolvaran, KTX_out.grd a named pipe with a reader"
cat "$DIR/KTX_out.grd" > "$DIR/.grid" &
reader=$!
# The reader is ready once it sleeps in its opening of the pipe.
for i in $(seq 200); do
  [ "$(cat "/proc/$reader/comm" 2> /dev/null)" = cat ] && [ "$(cut -d' ' -f3 "/proc/$reader/stat")" = S ] && break
  sleep 0.05
done
(cd "$DIR" && printf '%b' "$ANSWERS" | timeout 60 "$BUILD/tolvaran" > .stdout 2> .stderr)
STATUS=$?
wait "$reader"
[ "$STATUS" -eq 0 ] && [ ! -s "$DIR/.stderr" ] || FAIL "status $STATUS: $(cat "$DIR/.stderr")"
EXPECT_SAME_FILE "$REFERENCE/KTX_out.grd" "$DIR/.grid"
EXPECT_SAME_FILE "$REFERENCE/StretchCoeff.dat" "$DIR/StretchCoeff.dat"

# ---- A full disk --------------------------------------------------------------------

# A file size limit of 2 KiB stops the stretch table after its 2048th byte; the console
# goes through a pipe, out of the limit's reach.
BEGIN_CASE "tolvaran, a full disk: a file size limit"
NEW_DIR size-limit
EVENTS
OLD_OUTPUTS
(cd "$DIR" && printf '%b' "$ANSWERS" | (ulimit -f 2 && exec "$BUILD/tolvaran") 2> .stderr | cat > .stdout
 exit "${PIPESTATUS[1]}")
STATUS=$?
EXPECT_ABNORMAL_END '^tolvaran: cannot write output file "StretchCoeff.dat": File too large$'
EXPECT_SAME_FILE "$REFERENCE/KTX_out.grd" "$DIR/KTX_out.grd"
EXPECT_OLD_CURVES

# A device that is always full takes the place of the stretch table.
BEGIN_CASE "tolvaran, a full disk: no space left on the device"
if [ -c /dev/full ]; then
  NEW_DIR no-space
  EVENTS
  OLD_OUTPUTS
  rm "$DIR/StretchCoeff.dat"
  ln -s /dev/full "$DIR/StretchCoeff.dat"
  RUN tolvaran "$ANSWERS"
  EXPECT_ABNORMAL_END '^tolvaran: cannot write output file "StretchCoeff.dat": No space left on device$'
  EXPECT_SAME_FILE "$REFERENCE/KTX_out.grd" "$DIR/KTX_out.grd"
  EXPECT_OLD_CURVES
else
  echo "SKIPPED: no /dev/full"
fi

# The console itself cannot be written.
BEGIN_CASE "tolvaran, standard output on a full device"
if [ -c /dev/full ]; then
  NEW_DIR console-full
  EVENTS
  (cd "$DIR" && printf '%b' "$ANSWERS" | "$BUILD/tolvaran" > /dev/full 2> .stderr)
  STATUS=$?
  EXPECT_ABNORMAL_END '^tolvaran: cannot write to standard output: No space left on device$'
  [ -e "$DIR/KTX_out.grd" ] && FAIL "KTX_out.grd was written after the console failed"
else
  echo "SKIPPED: no /dev/full"
fi

# ---- merrowin's skeleton ------------------------------------------------------------

# Three windows of 40 period nodes that alternate between 1 and 5: 19 maxima each, so
# the skeleton is 57 lines of 42 bytes (2394 bytes).
MERROWIN_INPUTS() {
  printf '100 250 250 0.4\n150 300 250 0.4\n200 350 250 0.4\n' > "$DIR/StretchCoeff.dat"
  {
    printf 'DSAA\n3 40\n100 200\n0 2\n1 5\n'
    for j in $(seq 40); do
      if [ $((j % 2)) -eq 1 ]; then echo "1 1 1"; else echo "5 5 5"; fi
    done
  } > "$DIR/KTX_out.grd"
}
EXPECT_INPUTS_KEPT() {
  [ "$(md5sum < "$DIR/KTX_out.grd")" = "$gridSum" ] && [ "$(md5sum < "$DIR/StretchCoeff.dat")" = "$stretchSum" ] ||
    FAIL "an input file was changed"
}

NEW_DIR merrowin-reference
MERROWIN_INPUTS
RUN merrowin '0\n'
[ "$STATUS" -eq 0 ] && [ "$(grep -c . "$DIR/KTX_Skeleton.dat")" -eq 57 ] ||
  { echo "the reference run of merrowin failed: $(cat "$DIR/.stderr")"; exit 1; }
gridSum=$(md5sum < "$DIR/KTX_out.grd")
stretchSum=$(md5sum < "$DIR/StretchCoeff.dat")

BEGIN_CASE "merrowin, a read-only working directory with an earlier skeleton"
NEW_DIR merrowin-read-only
MERROWIN_INPUTS
printf 'an earlier skeleton\r\n' > "$DIR/KTX_Skeleton.dat"
chmod 444 "$DIR/KTX_Skeleton.dat"
chmod 555 "$DIR"
if READ_ONLY_USABLE merrowin; then
  (cd "$DIR" && printf '0\n' | "${AS_USER[@]}" "$BUILD/merrowin" > .stdout 2> .stderr)
  STATUS=$?
  EXPECT_ABNORMAL_END '^merrowin: cannot open output file "KTX_Skeleton.dat": Permission denied$'
  [ "$(cat "$DIR/KTX_Skeleton.dat")" = $'an earlier skeleton\r' ] || FAIL "the earlier skeleton was changed"
  EXPECT_INPUTS_KEPT
fi
chmod 755 "$DIR"

BEGIN_CASE "merrowin, a directory named KTX_Skeleton.dat"
NEW_DIR merrowin-skeleton-directory
MERROWIN_INPUTS
mkdir "$DIR/KTX_Skeleton.dat"
RUN merrowin '0\n'
EXPECT_ABNORMAL_END '^merrowin: cannot open output file "KTX_Skeleton.dat": Is a directory$'
[ -d "$DIR/KTX_Skeleton.dat" ] && [ -z "$(ls -A "$DIR/KTX_Skeleton.dat")" ] || FAIL "the directory was changed"
EXPECT_INPUTS_KEPT

BEGIN_CASE "merrowin, a full disk: a file size limit"
NEW_DIR merrowin-size-limit
MERROWIN_INPUTS
(cd "$DIR" && printf '0\n' | (ulimit -f 2 && exec "$BUILD/merrowin") 2> .stderr | cat > .stdout
 exit "${PIPESTATUS[1]}")
STATUS=$?
EXPECT_ABNORMAL_END '^merrowin: cannot write output file "KTX_Skeleton.dat": File too large$'
EXPECT_INPUTS_KEPT

BEGIN_CASE "merrowin, a full disk: no space left on the device"
if [ -c /dev/full ]; then
  NEW_DIR merrowin-no-space
  MERROWIN_INPUTS
  ln -s /dev/full "$DIR/KTX_Skeleton.dat"
  RUN merrowin '0\n'
  EXPECT_ABNORMAL_END '^merrowin: cannot write output file "KTX_Skeleton.dat": No space left on device$'
  EXPECT_INPUTS_KEPT
else
  echo "SKIPPED: no /dev/full"
fi

FINISH
