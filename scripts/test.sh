#!/bin/bash
# Runs every test layer of Halvorsight:
#   1. the core unit tests natively, plain and under AddressSanitizer +
#      UndefinedBehaviorSanitizer and ThreadSanitizer;
#   2. the same unit tests plus the Windows adapters as Windows programs
#      under Wine;
#   3. the end-to-end tests that drive the real Halvorsight.exe under Wine
#      in Xvfb, and the installer and portable zip that this build makes
#      (target "package", part of the default build), installed and
#      uninstalled silently in the test prefix;
#   4. a short run of every fuzz target (scripts/fuzz.sh runs them longer).
# Prints each stage's ctest summary and time, then one closing line
# "N passed, N failed". Exits non-zero when anything failed.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" || { echo "could not install the build and test packages"; exit 2; }

jobs=$(nproc)
total_passed=0
total_failed=0
total_skipped=0
status=0
timings=()

stage() {  # name, build dir, extra cmake args...
  local name=$1 dir=$2; shift 2
  local start=$SECONDS
  echo "=== $name"
  if ! cmake -S "$root" -B "$dir" -G Ninja "$@" >"$dir.configure.log" 2>&1; then
    cat "$dir.configure.log"; echo "configure failed: $name"
    total_failed=$((total_failed + 1)); status=1; return
  fi
  if ! cmake --build "$dir" -j"$jobs" >"$dir.build.log" 2>&1; then
    tail -n 60 "$dir.build.log"; echo "build failed: $name"
    total_failed=$((total_failed + 1)); status=1; return
  fi
  local log="$dir.ctest.log"
  (cd "$dir" && ctest --output-on-failure --timeout 600 -j"$jobs") >"$log" 2>&1
  local rc=$?
  grep -E "^(The following tests FAILED|[[:space:]]+[0-9]+ - )" "$log" || true
  if [ $rc -ne 0 ]; then
    # ctest printed each failing test's output right after its result line.
    echo "--- output of the failing tests (full log: $log)"
    awk '/\*\*\*(Failed|Exception|Timeout|Not Run)/{show=1} /^ *[0-9]+\/[0-9]+ Test +#[0-9]+: .* Passed/{show=0} show' "$log" | tail -n 300
  fi
  local summary
  summary=$(grep -E "tests passed, [0-9]+ tests? failed out of [0-9]+" "$log" | tail -n 1)
  echo "$name: $summary"
  if [ -n "$summary" ]; then
    local failed all
    failed=$(echo "$summary" | sed -E 's/.*passed, ([0-9]+) tests? failed out of ([0-9]+).*/\1/')
    all=$(echo "$summary" | sed -E 's/.*passed, ([0-9]+) tests? failed out of ([0-9]+).*/\2/')
    # A skipped test (one that could not run here) is no pass.
    local skipped
    skipped=$(grep -cE "^[[:space:]]*[0-9]+ - .*\(Skipped\)" "$log")
    # Why: what the skipped tests said.
    [ "$skipped" -eq 0 ] || grep -h "^SKIPPED:" "$dir/Testing/Temporary/LastTest.log" 2>/dev/null
    total_passed=$((total_passed + all - failed - skipped))
    total_failed=$((total_failed + failed))
    total_skipped=$((total_skipped + skipped))
  else
    total_failed=$((total_failed + 1))
  fi
  [ $rc -eq 0 ] || status=1
  timings+=("$name: $((SECONDS - start)) s")
}

mkdir -p "$root/build"
stage "native core tests" "$root/build/native"
stage "native core tests (address + undefined sanitizers)" "$root/build/native-asan" -DHS_SANITIZE=address,undefined
stage "native core tests (thread sanitizer)" "$root/build/native-tsan" -DHS_SANITIZE=thread
stage "Windows unit and end-to-end tests under Wine" "$root/build/win" \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake"

stage "fuzz targets, short run" "$root/build/fuzz" -DHS_FUZZ=ON \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++

echo "=== times"
for t in "${timings[@]}"; do echo "$t"; done
[ $total_skipped -eq 0 ] || echo "$total_skipped skipped (not counted as passed)"
echo "$total_passed passed, $total_failed failed"
exit $status
