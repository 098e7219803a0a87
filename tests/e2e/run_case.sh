#!/usr/bin/env bash
# Runs one end-to-end case and compares what the program did with what the case expects.
#
# A case is a folder:
#   program         the program to run (tolvaran or merrowin), optionally followed by arguments
#   stdin           what is typed at the console (optional; empty when missing)
#   input/          files copied into the scratch working directory before the run (optional)
#   expected/stdout the console transcript, byte for byte
#   expected/status the exit status (optional; 0 when missing)
#   expected/files/ files the run must leave in the working directory, byte for byte (optional)
#   check.sh        further checks, run in the working directory after the run (optional)
#
# usage: run_case.sh BUILD_DIR CASE_DIR SCRATCH_DIR
set -u
build=$(cd "$1" && pwd)
case_dir=$(cd "$2" && pwd)
work=$3
rm -rf "$work"
mkdir -p "$work"
work=$(cd "$work" && pwd)
[ -d "$case_dir/input" ] && cp -a "$case_dir/input/." "$work/"

read -r program args < "$case_dir/program"
stdin_file=/dev/null
[ -f "$case_dir/stdin" ] && stdin_file="$case_dir/stdin"

(cd "$work" && eval "\"$build/$program\" $args" < "$stdin_file" > "$work/.stdout" 2> "$work/.stderr")
status=$?

fail=0
expected_status=0
[ -f "$case_dir/expected/status" ] && expected_status=$(cat "$case_dir/expected/status")
if [ "$expected_status" = "nonzero" ]; then
  if [ "$status" -eq 0 ]; then echo "exit status 0, expected non-zero"; fail=1; fi
  if [ "$(wc -l < "$work/.stderr")" -ne 1 ]; then echo "stderr should hold exactly one line:"; cat "$work/.stderr"; fail=1; fi
elif [ "$status" != "$expected_status" ]; then
  echo "exit status $status, expected $expected_status"; cat "$work/.stderr"; fail=1
fi
if ! cmp -s "$case_dir/expected/stdout" "$work/.stdout"; then
  echo "console transcript differs:"
  diff <(cat -A "$case_dir/expected/stdout") <(cat -A "$work/.stdout") | head -40
  fail=1
fi
if [ -d "$case_dir/expected/files" ]; then
  while IFS= read -r -d '' f; do
    rel=${f#"$case_dir/expected/files/"}
    if [ ! -f "$work/$rel" ]; then echo "missing output file: $rel"; fail=1; continue; fi
    if ! cmp -s "$f" "$work/$rel"; then
      echo "output file differs: $rel"
      diff <(cat -A "$f") <(cat -A "$work/$rel") | head -20
      fail=1
    fi
  done < <(find "$case_dir/expected/files" -type f -print0)
fi
if [ -x "$case_dir/check.sh" ]; then
  (cd "$work" && "$case_dir/check.sh" "$case_dir" "$status") || { echo "check.sh failed"; fail=1; }
fi
exit $fail
