#!/usr/bin/env bash
# The whole main job on the bundled sample, in one command:
#   installs what is missing (as root, with apt-get), builds tolvaran and merrowin,
#   runs them with their answers in a scratch folder, and draws the picture.
#
# Usage: examples/demo.sh [OPTIONS]
#   --output DIR            scratch folder (default: demo-output/ at the top of the tree)
#   --events FILE           event-time file (default: examples/sample_events.txt); it is
#                           copied into the scratch folder under its own name, which the
#                           first line of the tolvaran answers must give
#   --tolvaran-answers FILE answers to tolvaran's questions, one a line: file name, number
#                           of period values, window length, shift
#                           (default: examples/tolvaran_answers.txt)
#   --merrowin-answers FILE answer to merrowin's question, the threshold
#                           (default: examples/merrowin_answers.txt)
#   --build-dir DIR         build folder (default: build/ at the top of the tree)
#   --no-build              use the programs already built in the build folder
#   --no-install            install nothing; stop if gnuplot is missing
set -euo pipefail

Root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
Examples=$Root/examples
Out=$Root/demo-output
Events=$Examples/sample_events.txt
TolvaranAnswers=$Examples/tolvaran_answers.txt
MerrowinAnswers=$Examples/merrowin_answers.txt
Build=$Root/build
bBuild=1
bInstall=1

usage() { sed -n '2,/^set -euo/p' "${BASH_SOURCE[0]}" | sed '$d; s/^# \{0,1\}//'; }
fail() { echo "demo: $*" >&2; exit 1; }

while [ $# -gt 0 ]; do
  case "$1" in
    --output) Out=${2:?--output needs a folder}; shift 2 ;;
    --events) Events=${2:?--events needs a file}; shift 2 ;;
    --tolvaran-answers) TolvaranAnswers=${2:?--tolvaran-answers needs a file}; shift 2 ;;
    --merrowin-answers) MerrowinAnswers=${2:?--merrowin-answers needs a file}; shift 2 ;;
    --build-dir) Build=${2:?--build-dir needs a folder}; shift 2 ;;
    --no-build) bBuild=0; shift ;;
    --no-install) bInstall=0; shift ;;
    -h | --help) usage; exit 0 ;;
    *) usage >&2; exit 2 ;;
  esac
done
for f in "$Events" "$TolvaranAnswers" "$MerrowinAnswers"; do
  [ -f "$f" ] && [ -r "$f" ] || fail "cannot read $f"
done
# The programs run in the scratch folder: take the inputs by absolute path.
absolute() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
Events=$(absolute "$Events")
TolvaranAnswers=$(absolute "$TolvaranAnswers")
MerrowinAnswers=$(absolute "$MerrowinAnswers")

# --- 1. What is missing ------------------------------------------------------------------
# The Debian packages the demo needs: gnuplot for the picture and, to build, the tool
# chain and GoogleTest (the build's configure step looks for it while the tests are on).
Packages=(gnuplot-nox)
if [ "$bBuild" = 1 ]; then Packages+=(cmake g++ make googletest libgtest-dev); fi
if [ "$bInstall" = 1 ]; then
  # Installs the missing ones when run as root; otherwise names them and fails.
  "$Root/tools/ensure_packages.sh" "${Packages[@]}" || fail "missing packages (see above)"
fi
command -v gnuplot >/dev/null 2>&1 || fail "gnuplot is not installed (Debian package: gnuplot-nox)"

Start=$SECONDS
mkdir -p "$Out"
Out=$(cd "$Out" && pwd)

# --- 2. Build ------------------------------------------------------------------------------
# Only the two programs: the demo needs nothing else, and a first build stays short.
if [ "$bBuild" = 1 ]; then
  echo "demo: building tolvaran and merrowin in $Build (log: $Out/build.log)"
  if ! { cmake -S "$Root" -B "$Build" && cmake --build "$Build" -j2 --target tolvaran merrowin; } \
       >"$Out/build.log" 2>&1; then
    tail -n 30 "$Out/build.log" >&2
    fail "the build failed; see $Out/build.log"
  fi
fi
Build=$(cd "$Build" && pwd)
for p in tolvaran merrowin; do
  [ -x "$Build/$p" ] || fail "$Build/$p is missing (build first, or drop --no-build)"
done

# --- 3. Run the programs in the scratch folder ---------------------------------------------
# Clear what an earlier run left: an output that a program did not rewrite this time
# must not pass for a new one.
cd "$Out"
rm -f KTX_out.grd StretchCoeff.dat KTX_Skeleton.dat skeleton.png tolvaran.log merrowin.log
rm -rf DeltaLogLik_for_each_Window
copy_in() { [ "$1" -ef "$2" ] || cp "$1" "$2"; }
copy_in "$Events" "$(basename "$Events")"
copy_in "$TolvaranAnswers" tolvaran_answers.txt
copy_in "$MerrowinAnswers" merrowin_answers.txt

# A program that stops on an input fault still exits with status 0 after its pause, so
# success is judged by the files it was to write, and its console shows why not.
run_program() {  # NAME ANSWERS OUTPUT...
  local Name=$1 Answers=$2 Status=0 Began=$SECONDS
  shift 2
  "$Build/$Name" <"$Answers" >"$Name.log" 2>&1 || Status=$?
  local bComplete=1
  grep -q 'Program terminated' "$Name.log" && bComplete=0
  for f in "$@"; do [ -e "$f" ] || bComplete=0; done
  if [ "$bComplete" = 0 ]; then
    echo "demo: $Name did not complete (exit status $Status); the end of its console:" >&2
    tr '\r' '\n' <"$Name.log" | tail -n 12 >&2
    exit 1
  fi
  [ "$Status" = 0 ] || fail "$Name ended with exit status $Status; see $Out/$Name.log"
  echo "demo: $Name done in $((SECONDS - Began)) s"
}
echo "demo: running tolvaran in $Out (answers: $(tr '\n' ' ' <tolvaran_answers.txt | tr -d '\r'))"
run_program tolvaran tolvaran_answers.txt KTX_out.grd StretchCoeff.dat DeltaLogLik_for_each_Window
echo "demo: running merrowin (threshold: $(head -n 1 merrowin_answers.txt | tr -d '\r'))"
run_program merrowin merrowin_answers.txt KTX_Skeleton.dat

# --- 4. The picture --------------------------------------------------------------------------
"$Examples/plot_skeleton.sh" . skeleton.png >/dev/null || fail "the plot failed"

nCurves=$(find DeltaLogLik_for_each_Window -name '*.dat' | wc -l)
nMaxima=$(grep -c . KTX_Skeleton.dat || true)
cat <<EOF

Demo finished in $((SECONDS - Start)) s. Outputs in $Out:
  KTX_out.grd                   DeltaLogLik grid over window end and log10 period (tolvaran)
  StretchCoeff.dat              window ends, real times and stretch coefficients (tolvaran)
  DeltaLogLik_for_each_Window/  one curve per window, periods in real time ($nCurves files, tolvaran)
  KTX_Skeleton.dat              local maxima over period with their real periods ($nMaxima lines, merrowin)
  tolvaran.log, merrowin.log    the programs' console output
Picture: $Out/skeleton.png
EOF
