#!/usr/bin/env bash
# The report names the grid and the row it could not complete; no skeleton is started.
grep -q '"KTX_out.grd": the file ends before row 3' .stderr && [ ! -e KTX_Skeleton.dat ]
