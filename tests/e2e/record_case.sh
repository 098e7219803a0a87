#!/usr/bin/env bash
# Records what the current build does for a case: expected/stdout, expected/status, and
# fresh copies of the files already listed under expected/files/ plus any files named
# on the command line. Read every recorded byte before committing it.
#
# usage: record_case.sh BUILD_DIR CASE_DIR [OUTPUT_FILE...]
set -u
build=$(cd "$1" && pwd)
case_dir=$(cd "$2" && pwd)
shift 2
work=$(mktemp -d)
[ -d "$case_dir/input" ] && cp -a "$case_dir/input/." "$work/"
read -r program args < "$case_dir/program"
stdin_file=/dev/null
[ -f "$case_dir/stdin" ] && stdin_file="$case_dir/stdin"
(cd "$work" && eval "\"$build/$program\" $args" < "$stdin_file" > "$work/.stdout" 2> "$work/.stderr")
status=$?
mkdir -p "$case_dir/expected"
cp "$work/.stdout" "$case_dir/expected/stdout"
if [ "$status" -eq 0 ]; then rm -f "$case_dir/expected/status"; else echo nonzero > "$case_dir/expected/status"; fi
files=("$@")
if [ -d "$case_dir/expected/files" ]; then
  while IFS= read -r -d '' f; do files+=("${f#"$case_dir/expected/files/"}"); done \
    < <(find "$case_dir/expected/files" -type f -print0)
fi
for rel in "${files[@]}"; do
  mkdir -p "$(dirname "$case_dir/expected/files/$rel")"
  cp "$work/$rel" "$case_dir/expected/files/$rel"
done
echo "status $status; stderr: $(cat "$work/.stderr")"
rm -rf "$work"
