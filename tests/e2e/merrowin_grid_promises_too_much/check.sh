#!/usr/bin/env bash
# A header that promises more rows than the file can hold ends before the matrix is
# sized for them.
grep -q '"KTX_out.grd": the file ends before the rows that its second line promises' .stderr
