#!/bin/bash
# Builds every fuzz target (tests/fuzz/*_fuzz.cpp) with clang's libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer against the portable core,
# and runs each for a number of inputs:
#   scripts/fuzz.sh [runs] [name...]     (default: 1000000 runs, every target)
# Prints one line per target (executions, coverage, findings). A finding's
# input lands in build/fuzz/fuzz-work/<name>/artifacts; once fixed, copy it
# into tests/fuzz/corpus/<name>/ so every later run (and CI's smoke run)
# tries it again.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-1000000}
shift || true
build="$root/build/fuzz"
cmake -S "$root" -B "$build" -G Ninja -DHS_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >"$build.configure.log" 2>&1 \
  || { cat "$build.configure.log"; exit 2; }
cmake --build "$build" -j"$(nproc)" >"$build.build.log" 2>&1 || { tail -n 40 "$build.build.log"; exit 2; }

status=0
for src in "$root"/tests/fuzz/*_fuzz.cpp; do
  name=$(basename "$src" _fuzz.cpp)
  if [ $# -gt 0 ] && ! printf '%s\n' "$@" | grep -qx "$name"; then continue; fi
  "$root/tests/fuzz/run_fuzz.sh" "$build/${name}_fuzz" "$root/tests/fuzz/corpus/$name" \
      "$build/fuzz-work/$name" "$runs" || status=1
done
exit $status
