#!/usr/bin/env bash
# Builds and runs every test twice: the normal build and the sanitizer build; then runs every
# fuzz target over its seeds for a couple of seconds. Any failure, including a sanitizer report,
# fails the run.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
scripts/setup.sh default asan fuzz
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for preset in default asan; do
  echo "== tests: $preset"
  ctest --preset "$preset" -j2
done
echo "== fuzz targets over their seeds"
scripts/fuzz.sh 2
