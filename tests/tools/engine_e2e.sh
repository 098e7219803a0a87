#!/usr/bin/env bash
# The whole tolvaran run with the plain searches and with every engine kind the machine
# runs, on one thread, on all threads and on three: console transcript and every output
# file byte for byte the same. tolvaran itself must give the same as well.
#
# usage: engine_e2e.sh BUILD_DIR EVENTS_FILE ANSWERS SCRATCH_DIR
#   ANSWERS: the three answers after the file name, e.g. "20 100 50"
set -u
build=$(cd "$1" && pwd)
events=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
read -r nPeriods iTwindow iTshift <<< "$3"
scratch=$4
rm -rf "$scratch"
mkdir -p "$scratch"
scratch=$(cd "$scratch" && pwd)
threads=$(nproc)

run() {  # name, program and options...
  local name=$1
  shift
  local dir=$scratch/$name
  mkdir -p "$dir"
  cp "$events" "$dir/events.txt"
  (cd "$dir" && printf 'events.txt\n%s\n%s\n%s\n' "$nPeriods" "$iTwindow" "$iTshift" | "$@" > console.out 2> console.err)
  echo $? > "$dir/status"
}

run reference "$build/tolvaran_engines" --engine=reference
run tolvaran "$build/tolvaran"
run best "$build/tolvaran_engines" --engine=best
fail=0
compared=0
for kind in portable avx2 avx512; do
  for n in 1 "$threads" 3; do
    name=$kind-$n
    run "$name" "$build/tolvaran_engines" --engine=$kind --threads=$n
    if [ "$(cat "$scratch/$name/status")" = 3 ]; then
      echo "$kind: not supported here, skipped"
      rm -rf "${scratch:?}/$name"
      break
    fi
  done
done
for dir in "$scratch"/*/; do
  name=$(basename "$dir")
  [ "$name" = reference ] && continue
  if ! diff -r "$scratch/reference" "$dir" > /dev/null; then
    echo "$name differs from the plain scan:"
    diff -r "$scratch/reference" "$dir" | head -20
    fail=1
  fi
  compared=$((compared + 1))
done
[ "$(cat "$scratch/reference/status")" = 0 ] || { echo "the plain run failed"; cat "$scratch/reference/console.err"; fail=1; }
[ -s "$scratch/reference/KTX_out.grd" ] || { echo "the plain run wrote no grid"; fail=1; }
echo "$compared runs compared with the plain scan"
exit $fail
