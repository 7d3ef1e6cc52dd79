#!/usr/bin/env bash
# Packages a built tree with CPack in a temporary folder, unpacks the package as dpkg lays it out,
# and checks it as a user meets it. The program runs with no display at all: what it answers on
# the command line must not need one.
#   package_check.sh BUILD_DIR SOURCE_DIR VERSION layout   the files in place, the program finding
#                                                           them, brevant --version
#   package_check.sh BUILD_DIR SOURCE_DIR VERSION options  brevant --help, an unknown option
#   package_check.sh BUILD_DIR SOURCE_DIR VERSION lintian  Debian's own checks, warnings included
set -euo pipefail
build=$1 source=$2 version=$3 check=$4
work=$(mktemp -d "${TMPDIR:-/tmp}/brevant-package.XXXXXX")
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

if ! cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  fail "cpack could not build the package"
fi
deb=$work/brevant_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $(basename "$deb") among: $(ls "$work")"
tree=$work/tree
dpkg-deb -x "$deb" "$tree"
brevant=$tree/usr/bin/brevant

# Runs the unpacked program without a display; its output lands in $work/out and $work/err.
run_headless() {
  local status=0
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$brevant" "$@" \
    >"$work/out" 2>"$work/err" || status=$?
  echo "$status"
}

expect_output() { # name, expected text, file
  [ "$(cat "$3")" = "$2" ] || fail "$1: expected '$2', got '$(cat "$3")'"
}

png_size() { # width x height from the PNG header
  local hex
  hex=$(od -An -tx1 -j16 -N8 "$1" | tr -d ' \n')
  echo "$((16#${hex:0:8}))x$((16#${hex:8:8}))"
}

check_files() {
  [ "$(ls "$tree")" = usr ] || fail "files outside /usr: $(ls "$tree")"
  [ -x "$brevant" ] || fail "usr/bin/brevant missing or not executable"
  local file
  for file in share/applications/brevant.desktop share/metainfo/com.quillfen.brevant.metainfo.xml \
    share/icons/hicolor/scalable/apps/brevant.svg share/man/man1/brevant.1.gz \
    share/doc/brevant/copyright share/doc/brevant/changelog.gz; do
    [ -s "$tree/usr/$file" ] || fail "usr/$file missing"
  done
  local size
  for size in 48x48 256x256; do
    file=$tree/usr/share/icons/hicolor/$size/apps/brevant.png
    [ -s "$file" ] || fail "the $size icon is missing"
    [ "$(png_size "$file")" = "$size" ] || fail "the $size icon is $(png_size "$file")"
  done
  # Every default file and help page the program looks for in its package folder.
  (cd "$source/resources" && find defaults -name '*.plist' -printf '%f\n' && find HelpFolder -type f) |
    while read -r file; do
      [ -s "$tree/usr/share/quillfen_brevant/$file" ] || fail "usr/share/quillfen_brevant/$file missing"
    done
  dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "Depends names no Qt libraries"
  appstreamcli validate-tree --no-net "$tree" || fail "the software centre's entry does not validate"
}

# The unpacked program, started for real, finds share/quillfen_brevant beside its bin/ folder:
# it copies the default files from there into a new home's support folder.
check_package_folder_found() {
  local home=$work/home support
  support="$home/Library/Application Support/quillfen_brevant"
  mkdir -p "$home"
  env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME HOME="$home" \
    QT_QPA_PLATFORM=offscreen "$brevant" >"$work/launch.log" 2>&1 &
  local pid=$! tries
  for tries in $(seq 300); do
    [ -s "$support/SiteURL.plist" ] && [ -s "$support/JiraUsers.plist" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -TERM "$pid" 2>/dev/null || true
  local status=0
  wait "$pid" || status=$?
  [ -s "$support/SiteURL.plist" ] || { cat "$work/launch.log" >&2; fail "no default files installed"; }
  [ "$status" = 0 ] || { cat "$work/launch.log" >&2; fail "the program ended with status $status"; }
}

case $check in
layout)
  check_files
  check_package_folder_found
  [ "$(run_headless --version)" = 0 ] || fail "--version did not exit with status 0"
  expect_output "--version" "brevant $version" "$work/out"
  expect_output "--version, errors" "" "$work/err"
  ;;
options)
  [ "$(run_headless --help)" = 0 ] || fail "--help did not exit with status 0"
  head -n 1 "$work/out" | grep -qx 'Usage: brevant \[options\]' || fail "--help: $(cat "$work/out")"
  grep -q -- '--version' "$work/out" || fail "--help does not name --version"
  expect_output "--help, errors" "" "$work/err"
  [ "$(run_headless --frobnicate)" = 2 ] || fail "an unknown option did not exit with status 2"
  expect_output "unknown option" "" "$work/out"
  expect_output "unknown option, errors" \
    "brevant: Unknown option 'frobnicate'.
Try 'brevant --help' for more information." "$work/err"
  ;;
lintian)
  lintian --fail-on error,warning "$deb" || fail "lintian"
  ;;
*)
  fail "no check named $check"
  ;;
esac
echo "package check $check passed"
