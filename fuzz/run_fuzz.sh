#!/usr/bin/env bash
# Runs a fuzz target over its seed corpus and then fuzzes it for a while. New inputs go
# to a scratch corpus, findings to the scratch directory; the seeds are only read.
#
# usage: run_fuzz.sh TARGET SEED_CORPUS SCRATCH_DIR SECONDS [LIBFUZZER_OPTION...]
set -eu
target=$(realpath "$1") seeds=$(realpath "$2") work=$3 seconds=$4
shift 4
rm -rf "$work"
mkdir -p "$work/corpus"
work=$(realpath "$work")
# The targets write the file they read into the working directory.
cd "$work"
# A single allocation over 2 GB counts as a finding: no reader should size an array
# from a count its input only promises.
exec "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=2048 \
  -artifact_prefix="$work/" -print_final_stats=1 "$@" "$work/corpus" "$seeds"
