#!/usr/bin/env bash
# The report comes before the scan: no output is written or created.
set -eu
[ ! -e StretchCoeff.dat ] || { echo "StretchCoeff.dat was written"; exit 1; }
[ ! -e DeltaLogLik_for_each_Window ] || { echo "the curve directory was created"; exit 1; }
