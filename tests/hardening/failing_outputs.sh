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

BEGIN_CASE "tolvaran, a read-only working directory"
NEW_DIR read-only
EVENTS
OLD_OUTPUTS
chmod 555 "$DIR" "$DIR/DeltaLogLik_for_each_Window"
chmod 444 "$DIR/StretchCoeff.dat" "$DIR/DeltaLogLik_for_each_Window/0000000002.dat"
# The superuser writes anywhere, so the program then runs as nobody.
AS_USER=()
if [ "$(id -u)" -eq 0 ]; then
  if command -v setpriv > /dev/null; then
    AS_USER=(setpriv --reuid 65534 --regid 65534 --clear-groups)
  else
    AS_USER=(skip)
  fi
fi
if [ "${AS_USER[0]:-}" = skip ]; then
  echo "SKIPPED: running as root without setpriv, so no directory is read-only to the program"
elif ! "${AS_USER[@]}" test -x "$BUILD/tolvaran" -a -r "$DIR/events.txt"; then
  echo "SKIPPED: the user 65534 cannot reach $BUILD/tolvaran or $DIR"
else
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

FINISH
