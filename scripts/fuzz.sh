#!/usr/bin/env bash
# Fuzzes every target in fuzz/ for SECONDS each (default 60), starting from its committed seeds
# in fuzz/corpus/<target>. Run it for a few minutes after changing a parser. New inputs that
# reach new code go to build/fuzz/corpus/<target>; an input that fails goes to
# build/fuzz/artifacts/ and its target's output is shown. scripts/test.sh runs it for a couple
# of seconds per target, so every seed is run again on every test run.
set -euo pipefail
seconds=${1:-60}
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
scripts/setup.sh fuzz
# The fuzzers look for leaks; the tests' sanitizer settings leave that out.
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p build/fuzz/artifacts
failed=()
for seeds in fuzz/corpus/*/; do
  name=$(basename "$seeds")
  work="build/fuzz/corpus/$name"
  log="build/fuzz/$name.log"
  mkdir -p "$work"
  echo "== fuzz_$name: ${seconds}s"
  # -timeout: a second of work is the reader's promise; the sanitizers make it slower.
  if ! "build/fuzz/bin/fuzz_$name" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=4096 \
    -artifact_prefix="build/fuzz/artifacts/$name-" "$work" "$seeds" >"$log" 2>&1; then
    tail -n 60 "$log"
    failed+=("$name")
  fi
done
if ((${#failed[@]})); then
  echo "Fuzzing failed: ${failed[*]} (inputs in build/fuzz/artifacts/)" >&2
  exit 1
fi
