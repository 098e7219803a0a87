#!/usr/bin/env bash
# The mismatch is found before the skeleton is opened.
[ ! -e KTX_Skeleton.dat ]
