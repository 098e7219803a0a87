# shellcheck shell=bash
# Helpers shared by the example tests (sourced).

nFailed=0
# check DESCRIPTION COMMAND...: runs the command and counts it as a failure unless it
# succeeds.
check() {
  local What=$1
  shift
  if "$@"; then echo "ok   $What"; else echo "FAIL $What"; nFailed=$((nFailed + 1)); fi
}

# png_size FILE: prints "WIDTH HEIGHT" from the IHDR chunk of a PNG, or nothing when the
# file does not start with the PNG signature and an IHDR chunk.
png_size() {
  [ -f "$1" ] || return 0
  [ "$(od -An -tx1 -N8 "$1" | tr -d ' \n')" = 89504e470d0a1a0a ] || return 0
  [ "$(od -An -c -j12 -N4 "$1" | tr -d ' \n')" = IHDR ] || return 0
  od -An -tu1 -j16 -N8 "$1" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4,
                                           $5 * 16777216 + $6 * 65536 + $7 * 256 + $8 }'
}

# finish NAME: the closing line and the exit status.
finish() {
  if [ "$nFailed" = 0 ]; then echo "all $1 checks passed"; exit 0; fi
  echo "$nFailed $1 checks failed"
  exit 1
}
