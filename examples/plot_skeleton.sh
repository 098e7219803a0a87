#!/usr/bin/env bash
# Draws the period-time picture of a tolvaran/merrowin run as a PNG: a heat map of
# DeltaLogLik over window end (x, cumulative number of events) and log10 of the
# dimensionless period (y), read from KTX_out.grd, with the local maxima listed in
# KTX_Skeleton.dat drawn on top.
#
# Usage: plot_skeleton.sh [DIR] [OUT.png]
#   DIR     folder holding KTX_out.grd and KTX_Skeleton.dat (default: the current one)
#   OUT.png picture to write (default: DIR/skeleton.png), 1200 x 800 pixels
#
# Needs bash, awk and gnuplot with its pngcairo terminal (Debian: gnuplot-nox).
set -euo pipefail

usage() {
  echo "Usage: $(basename "$0") [DIR] [OUT.png]" >&2
  echo "  reads DIR/KTX_out.grd and DIR/KTX_Skeleton.dat (DIR defaults to .)," >&2
  echo "  writes OUT.png (default DIR/skeleton.png), 1200 x 800 pixels" >&2
}

case "${1:-}" in
  -h | --help) usage; exit 0 ;;
esac
if [ $# -gt 2 ]; then usage; exit 2; fi

Dir=${1:-.}
OutPng=${2:-$Dir/skeleton.png}
GridFile=$Dir/KTX_out.grd
SkeletonFile=$Dir/KTX_Skeleton.dat
WidthPx=1200
HeightPx=800

if ! command -v gnuplot >/dev/null 2>&1; then
  echo "plot_skeleton: gnuplot is not installed (Debian package: gnuplot-nox)" >&2
  exit 1
fi
if [ ! -r "$GridFile" ]; then
  echo "plot_skeleton: cannot read $GridFile" >&2
  exit 1
fi

Work=$(mktemp -d)
trap 'rm -rf "$Work"' EXIT

# --- The grid: header and cells -------------------------------------------------------
# Lines end with CR LF; line 1 is "DSAA"; lines 2-4 hold nX nY, xLo xHi, yLo yHi; line 5
# (the z limits) is not trusted, the colour range is taken from the cells. From line 6
# come nY rows, the smallest period first; each row starts on a new line and holds nX
# values, spread over as many lines as its writer chose. Cells that are not numbers
# are left blank in the picture; infinite ones are drawn in the end colours.
awk -v CellsOut="$Work/cells.dat" -v InfoOut="$Work/info.txt" -v Name="$GridFile" '
function fail(msg) { printf "plot_skeleton: %s: %s\n", Name, msg > "/dev/stderr"; bFailed = 1; exit 1 }
# Classifies a token: sets Kind to "num", "nan", "inf" or "bad" and Val for numbers.
function classify(t,   u) {
  u = tolower(t)
  sub(/^\+/, "", u)
  if (u ~ /^-?nan/) { Kind = "nan"; return }
  if (u ~ /^inf/)   { Kind = "inf"; Val = 1; return }
  if (u ~ /^-inf/)  { Kind = "inf"; Val = -1; return }
  gsub(/d/, "e", u)  # a D exponent, as some writers of such grids use
  if (u ~ /^-?([0-9]+\.?[0-9]*|\.[0-9]+)(e[-+]?[0-9]+)?$/) { Kind = "num"; Val = u + 0; return }
  Kind = "bad"
}
function header_pair(line, what,   n, f) {
  n = split(line, f, /[ \t,]+/)
  if (f[1] == "") { n--; f[1] = f[2]; f[2] = f[3] }
  if (n < 2) fail("line " NR " should hold " what)
  classify(f[1]); if (Kind != "num") fail("line " NR " should hold " what); A = Val
  classify(f[2]); if (Kind != "num") fail("line " NR " should hold " what); B = Val
}
{ sub(/\r$/, "") }
NR == 2 { header_pair($0, "nX and nY"); nX = A; nY = B
          if (nX != int(nX) || nY != int(nY) || nX < 1 || nY < 1) fail("nX and nY on line 2 must be whole numbers of at least 1")
          next }
NR == 3 { header_pair($0, "xLo and xHi"); xLo = A; xHi = B; next }
NR == 4 { header_pair($0, "yLo and yHi"); yLo = A; yHi = B; next }
NR <= 5 { next }
{
  if (j >= nY) next
  n = split($0, f, /[ \t,]+/)
  for (k = 1; k <= n; k++) {
    if (f[k] == "") continue
    classify(f[k])
    if (Kind == "bad") fail("line " NR ": \"" f[k] "\" is not a number")
    i++
    Z[i] = Kind == "num" ? Val : (Kind == "nan" ? "nan" : (Val > 0 ? "+inf" : "-inf"))
    if (Kind == "num") {
      if (nFinite == 0 || Val < zMin) zMin = Val
      if (nFinite == 0 || Val > zMax) zMax = Val
      nFinite++
    } else nOdd++
    if (i == nX) break  # the rest of the line does not belong to the grid
  }
  if (i == nX) { j++; for (k = 1; k <= nX; k++) Row[j, k] = Z[k]; i = 0 }
}
END {
  if (bFailed) exit 1
  if (NR < 5) fail("too short for a grid header (5 lines)")
  if (j < nY) fail(sprintf("the grid ends after %d of its %d rows", j, nY))
  if (nFinite == 0) { zMin = 0; zMax = 1 }
  if (zMax == zMin) { zMin -= 0.5; zMax += 0.5 }
  # Cell centres; a single column or row is drawn as a cell one unit wide.
  dx = nX > 1 ? (xHi - xLo) / (nX - 1) : 1
  dy = nY > 1 ? (yHi - yLo) / (nY - 1) : 1
  if (dx == 0) dx = 1
  if (dy == 0) dy = 1
  nCopiesX = nX > 1 ? 1 : 2
  nCopiesY = nY > 1 ? 1 : 2
  for (jj = 1; jj <= nY; jj++) {
    for (cy = 1; cy <= nCopiesY; cy++) {
      y = nY > 1 ? yLo + (jj - 1) * dy : yLo + (cy - 1.5) * dy
      for (ii = 1; ii <= nX; ii++) {
        z = Row[jj, ii]
        if (z == "nan") z = "NaN"
        else if (z == "+inf") z = zMax
        else if (z == "-inf") z = zMin
        for (cx = 1; cx <= nCopiesX; cx++) {
          x = nX > 1 ? xLo + (ii - 1) * dx : xLo + (cx - 1.5) * dx
          printf "%.10g %.10g %s\n", x, y, (z == "NaN" ? z : sprintf("%.8g", z)) > CellsOut
        }
      }
    }
    print "" > CellsOut
  }
  # Plot range: the cells edge to edge.
  if (nX > 1) { x0 = xLo - dx / 2; x1 = xHi + dx / 2 } else { x0 = xLo - dx; x1 = xLo + dx }
  if (nY > 1) { y0 = yLo - dy / 2; y1 = yHi + dy / 2 } else { y0 = yLo - dy; y1 = yLo + dy }
  if (x0 > x1) { t = x0; x0 = x1; x1 = t }
  if (y0 > y1) { t = y0; y0 = y1; y1 = t }
  printf "%d %d %d %.10g %.10g %.10g %.10g %.8g %.8g\n", nX, nY, nOdd, x0, x1, y0, y1, zMin, zMax > InfoOut
}
' "$GridFile"
read -r nX nY nOdd x0 x1 y0 y1 z0 z1 <"$Work/info.txt"
if [ "$nOdd" -gt 0 ]; then
  echo "plot_skeleton: $nOdd grid values are not finite numbers: NaN cells are left blank," \
       "infinite ones take the end colour of their sign" >&2
fi

# --- The skeleton: window end and log10 period of each maximum -------------------------
: >"$Work/skeleton.dat"
nPoints=0
if [ -r "$SkeletonFile" ]; then
  awk '{ sub(/\r$/, "") }
       NF >= 2 && $1 ~ /^[-+]?[0-9]+$/ && $2 ~ /^[-+]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][-+]?[0-9]+)?$/ { print $1, $2 }
      ' "$SkeletonFile" >"$Work/skeleton.dat"
  nPoints=$(wc -l <"$Work/skeleton.dat")
  nLines=$(awk 'NF > 0' "$SkeletonFile" | wc -l)
  if [ "$nLines" -gt "$nPoints" ]; then
    echo "plot_skeleton: $((nLines - nPoints)) lines of $SkeletonFile are not two numbers and are not drawn" >&2
  fi
else
  echo "plot_skeleton: no $SkeletonFile (run merrowin first); drawing the grid alone" >&2
fi

# --- The picture ---------------------------------------------------------------------------
Title="DeltaLogLik over window end and period, with the skeleton's local maxima"
Source="${GridFile//[\'\"\\]/_}"
{
  echo "set terminal pngcairo size $WidthPx,$HeightPx font 'sans,13' noenhanced"
  echo "set output '$Work/picture.png'"
  printf 'set title "%s\\n%s"\n' "$Title" "$Source"
  echo "set xlabel 'Window end (cumulative number of events)'"
  echo "set ylabel 'log10 of dimensionless period'"
  echo "set cblabel 'DeltaLogLik' offset 1.5,0"
  echo "set rmargin 14"
  echo "set xrange [$x0:$x1]"
  echo "set yrange [$y0:$y1]"
  echo "set cbrange [$z0:$z1]"
  echo "set tics out nomirror"
  echo "set mxtics; set mytics"
  # A perceptually even scale from dark (no periodicity) to bright (strong periodicity).
  echo "set palette defined (0 '#440154', 1 '#482878', 2 '#3e4989', 3 '#31688e', 4 '#26828e', \
5 '#1f9e89', 6 '#35b779', 7 '#6ece58', 8 '#b5de2b', 9 '#fde725')"
  echo "set format cb '%g'"
  echo "set key top left opaque box reverse Left samplen 1 height 0.6"
  Plot="plot '$Work/cells.dat' using 1:2:3 with image notitle"
  if [ "$nPoints" -gt 0 ]; then
    # Black rims under white dots keep the maxima visible on dark and bright cells alike.
    Plot="$Plot, '$Work/skeleton.dat' using 1:2 with points pt 7 ps 1.5 lc rgb 'black' title 'skeleton maxima ($nPoints, KTX_Skeleton.dat)'"
    Plot="$Plot, '' using 1:2 with points pt 7 ps 0.9 lc rgb 'white' notitle"
  fi
  echo "$Plot"
} >"$Work/picture.gp"

if ! gnuplot "$Work/picture.gp" 2>"$Work/gnuplot.err"; then
  cat "$Work/gnuplot.err" >&2
  echo "plot_skeleton: gnuplot failed" >&2
  exit 1
fi
if [ ! -s "$Work/picture.png" ]; then
  cat "$Work/gnuplot.err" >&2
  echo "plot_skeleton: gnuplot wrote no picture (is its pngcairo terminal there?)" >&2
  exit 1
fi
mv -f "$Work/picture.png" "$OutPng"
echo "plot_skeleton: wrote $OutPng ($WidthPx x $HeightPx; $nX windows x $nY periods, $nPoints skeleton maxima)"
