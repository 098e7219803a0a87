#!/usr/bin/env bash
# The run leaves its three outputs and nothing else: one curve file per window.
set -eu
[ "$(ls DeltaLogLik_for_each_Window | wc -l)" -eq 9 ] || { echo "expected 9 curve files"; ls DeltaLogLik_for_each_Window; exit 1; }
[ "$(ls -A | grep -v '^\.std' | sort | tr '\n' ' ')" = "DeltaLogLik_for_each_Window KTX_out.grd StretchCoeff.dat events.txt " ] || { echo "unexpected files:"; ls -A; exit 1; }
