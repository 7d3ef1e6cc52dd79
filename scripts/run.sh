#!/usr/bin/env bash
# Builds the program and starts it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
scripts/setup.sh default
exec build/default/bin/brevant "$@"
