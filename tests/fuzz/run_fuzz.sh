#!/bin/bash
# Runs one fuzz target for a number of inputs:
#   run_fuzz.sh <target binary> <seed corpus dir> <work dir> <runs>
# First every seed input (among them the inputs of earlier findings) is run
# once, then the target mutates from a working copy of the corpus in the work
# dir, so the seed corpus in the repository is never written. Findings go to
# <work dir>/artifacts. Prints libFuzzer's log to <work dir>/fuzz.log and one
# line: "<name>: <runs> executions, cov <n>, ft <n>, <findings>".
# Exits non-zero on a finding.
set -u
# Absolute paths: targets that work with files change into a directory of
# their own, and libFuzzer reads the corpus after the first input.
binary=$(realpath -m "$1") seeds=$(realpath -m "$2") work=$(realpath -m "$3") runs=$4
name=$(basename "$binary"); name=${name%_fuzz}
mkdir -p "$work/corpus" "$work/artifacts"
# The targets' scratch files on a memory file system when there is one.
if [ -z "${TMPDIR:-}" ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
log="$work/fuzz.log"
seedArgs=()
[ -d "$seeds" ] && seedArgs=("$seeds")
ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1} \
  "$binary" -runs="$runs" -max_len=16384 -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$work/artifacts/" "$work/corpus" "${seedArgs[@]}" >"$log" 2>&1
rc=$?
executions=$(grep -E "^stat::number_of_executed_units:" "$log" | tail -n 1 | awk '{print $2}')
stats=$(grep -E "(DONE|pulse|NEW|REDUCE|INITED).*cov: " "$log" | tail -n 1)
cov=$(echo "$stats" | sed -nE 's/.*cov: ([0-9]+).*/\1/p')
ft=$(echo "$stats" | sed -nE 's/.*ft: ([0-9]+).*/\1/p')
findings=$(find "$work/artifacts" -type f | wc -l)
if [ $rc -eq 0 ]; then result="no findings"; else result="FINDING (exit $rc, $findings artifact(s) in $work/artifacts)"; fi
echo "$name: ${executions:-?} executions, cov ${cov:-?}, ft ${ft:-?}, $result"
if [ $rc -ne 0 ]; then
  grep -E "^(==[0-9]+==ERROR|SUMMARY|broken rule|.*runtime error)" "$log" | head -n 5
fi
exit $rc
