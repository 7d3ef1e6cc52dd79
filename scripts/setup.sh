#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then configures and builds
# the given CMake presets (default: "default"). Safe to run again: it does only what is missing.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

mapfile -t wanted < <(grep -v '^\s*#' scripts/packages.txt | sed '/^\s*$/d')
missing=()
for pkg in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$pkg")
  fi
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

presets=("$@")
((${#presets[@]})) || presets=(default)
for preset in "${presets[@]}"; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
