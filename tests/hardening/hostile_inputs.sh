#!/usr/bin/env bash
# Hostile input files end cleanly: binary garbage, a NUL byte, bytes that are not UTF-8,
# and a directory or a named pipe where a file is wanted, for every input of both
# programs; a name answer with a NUL byte; scan storage beyond the machine's memory.
#
# usage: hostile_inputs.sh BUILD_DIR SCRATCH_DIR
BUILD=$(cd "$1" && pwd)
WORK=$2
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/lib.sh"
mkdir -p "$WORK"

# ---- tolvaran: the event-time file --------------------------------------------------

# The content of the event file by case: what reads as a time ends at the first line
# that is not a number, whatever bytes it holds.
EVENTS_garbage() { cat "$HERE/inputs/garbage.bin"; }
# A NUL ends no field early: "3<NUL>" is no number, so the data end before it.
EVENTS_nul() { printf '1\n2\n3\0\n0\n'; }
EVENTS_not_utf8() { printf '1\n2\n\xff\xfe3\n0\n'; }
EVENTS_nul_only() { printf '\0\0\0\n'; }

for kind in garbage nul not_utf8 nul_only; do
  BEGIN_CASE "tolvaran, event file: $kind"
  NEW_DIR "events-$kind"
  "EVENTS_$kind" > "$DIR/events.txt"
  RUN tolvaran 'events.txt\n\n'
  case $kind in
    garbage|nul_only)
      EXPECT_LINE "Number of time moments=           0"
      EXPECT_PAUSE_AND_STOP ;;
    *)
      # Two times, then the first question, then the end of the answers.
      EXPECT_LINE "Number of time moments=           2"
      EXPECT_LAST_LINES "What is the number of period values = ?"
      EXPECT_ABNORMAL_END "end of standard input" ;;
  esac
done

# Something that is not a plain file where the event file should be: the name is asked
# again, as for a missing file.
for kind in directory fifo; do
  BEGIN_CASE "tolvaran, event file: a $kind"
  NEW_DIR "events-$kind"
  if [ $kind = directory ]; then mkdir "$DIR/events.txt"; else mkfifo "$DIR/events.txt"; fi
  RUN tolvaran 'events.txt\n'
  EXPECT_LAST_LINES "Input filename= ?" "No such file within current directory !" "Input filename= ?"
  EXPECT_ABNORMAL_END "end of standard input"
done

BEGIN_CASE "tolvaran, a file name that is not UTF-8"
NEW_DIR events-name-not-utf8
printf '1\n2\n' > "$DIR/ev"$'\xff'".txt"
RUN tolvaran 'ev\xff.txt\n'
EXPECT_LINE "Number of time moments=           2"
EXPECT_ABNORMAL_END "end of standard input"

# A NUL byte in the answer is part of the name; no file has such a name, so the name
# must not be cut at the NUL and open another file.
BEGIN_CASE "tolvaran, a file name answer with a NUL byte"
NEW_DIR events-name-nul
printf '1\n2\n' > "$DIR/events.txt"
RUN tolvaran 'events.txt\0.old\n'
EXPECT_LAST_LINES "Input filename= ?" "No such file within current directory !" "Input filename= ?"
EXPECT_ABNORMAL_END "end of standard input"

# ---- tolvaran: scan storage ---------------------------------------------------------

# A million events, windows of 2 events moved by 1, and 2,000,000,000 period nodes ask
# for some 8 EB; the largest count of period nodes over 6 events asks for more than
# one and a half times the machine's memory. Both are refused before anything is taken:
# the report says so by comparing with the machine's memory.
NEW_DIR storage-catalogue
seq 1000000 > "$DIR/events.txt"
memory_mib=$(( $(getconf _PHYS_PAGES) * $(getconf PAGE_SIZE) / 1048576 ))
# Windows of 2147483647 floats (8 GiB each) that exceed 1.5 times the memory.
nWindows=$(( memory_mib * 3 / 2 / 8192 + 1 ))
seq $((nWindows + 1)) > "$DIR/short.txt"
for answers in "events.txt\n2000000000\n2\n1\n" "short.txt\n2147483647\n2\n1\n"; do
  BEGIN_CASE "tolvaran, scan storage beyond the machine's memory: ${answers//\\n/ }"
  RUN tolvaran "$answers"
  EXPECT_ABNORMAL_END "^tolvaran: memory cannot be obtained for the scan storage: it needs [0-9]+ MiB, more than the machine's $memory_mib MiB$"
done

FINISH
