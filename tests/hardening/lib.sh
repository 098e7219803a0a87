# Helpers of the hardening tests: run a program in a scratch directory, then check how it
# ended. Sourced by the test scripts, which set BUILD (the build directory) and WORK (a
# scratch directory of their own) and call the checks; FINISH reports and sets the status.
#
# A run leaves its console transcript in $DIR/.stdout, its error lines in $DIR/.stderr and
# its exit status in $STATUS.

set -u
nFailed=0
CASE="(none)"

# Names the case whose checks follow.
BEGIN_CASE() {
  CASE=$1
  echo "--- $CASE"
}

FAIL() {
  echo "FAILED [$CASE]: $*"
  nFailed=$((nFailed + 1))
}

# A fresh scratch directory for one case: $DIR.
NEW_DIR() {
  DIR="$WORK/$1"
  rm -rf "$DIR"
  mkdir -p "$DIR"
}

# RUN PROGRAM STDIN_TEXT [ARG...]: runs build/PROGRAM in $DIR with the text as standard
# input (printf %b form, so \n is a line end).
RUN() {
  local program=$1 input=$2
  shift 2
  (cd "$DIR" && printf '%b' "$input" | "$BUILD/$program" "$@" > .stdout 2> .stderr)
  STATUS=$?
}

# The abnormal end: a status that is neither 0 nor a signal's, and exactly one line on
# stderr that matches the extended regular expression. A sanitizer report fails it too.
EXPECT_ABNORMAL_END() {
  local pattern=$1
  if [ "$STATUS" -eq 0 ] || [ "$STATUS" -ge 128 ]; then FAIL "exit status $STATUS, expected the abnormal end"; fi
  if [ "$(wc -l < "$DIR/.stderr")" -ne 1 ]; then
    FAIL "stderr should hold one line:"
    head -20 "$DIR/.stderr"
  elif ! grep -Eq -- "$pattern" "$DIR/.stderr"; then
    FAIL "stderr does not match /$pattern/: $(cat "$DIR/.stderr")"
  fi
}

# Whether the transcript ends with the bytes of printf '%b' TEXT.
ENDS_WITH() {
  printf '%b' "$1" > "$DIR/.expected"
  tail -c "$(wc -c < "$DIR/.expected")" "$DIR/.stdout" | cmp -s - "$DIR/.expected"
}

# The error end after the pause: status 0, nothing on stderr, and the transcript ends with
# the pause and the stop line.
EXPECT_PAUSE_AND_STOP() {
  if [ "$STATUS" -ne 0 ]; then FAIL "exit status $STATUS, expected 0 after the pause"; fi
  if [ -s "$DIR/.stderr" ]; then
    FAIL "stderr should be empty:"
    head -20 "$DIR/.stderr"
  fi
  ENDS_WITH ' Press <Enter> to terminate...\r\nStop - Program terminated.\r\n' ||
    FAIL "the transcript does not end with the pause and the stop line"
}

# EXPECT_LINE TEXT: the transcript holds the message line " TEXT" (with its CR LF).
EXPECT_LINE() {
  grep -Fxq -- " $1"$'\r' "$DIR/.stdout" || FAIL "no console line \"$1\""
}

# EXPECT_LAST_LINES TEXT...: the transcript ends with these message lines.
EXPECT_LAST_LINES() {
  local expected="" line
  for line in "$@"; do expected+=" ${line//\\/\\\\}\\r\\n"; done
  if ! ENDS_WITH "$expected"; then
    FAIL "the transcript does not end with these lines: $*"
    tail -n "$#" "$DIR/.stdout" | cat -A
  fi
}

# EXPECT_SAME_FILE EXPECTED ACTUAL
EXPECT_SAME_FILE() {
  if [ ! -f "$2" ]; then FAIL "missing file $2"; return; fi
  if ! cmp -s "$1" "$2"; then FAIL "file $2 differs from $1"; fi
}

FINISH() {
  if [ "$nFailed" -ne 0 ]; then
    echo "$nFailed check(s) failed"
    exit 1
  fi
  echo "all checks passed"
  exit 0
}
