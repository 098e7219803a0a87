#!/usr/bin/env bash
# The report names the grid's line 6, and no skeleton is started.
grep -q 'line 6 of the grid "KTX_out.grd"' .stderr && [ ! -e KTX_Skeleton.dat ]
