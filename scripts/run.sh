#!/usr/bin/env bash
# Builds the program and lets you try it end to end without a Jira of your own: a stand-in Jira
# server listens on a free port of 127.0.0.1, and the program runs in a throwaway home whose site
# addresses point at it. The server stops, and the throwaway home is removed, when the program
# quits. Options are the stand-in's (jira-standin --help), such as --export-cap 3 to have it cut
# its exports into pages of three issues. To use your own Jira, see "Using your own Jira" in
# README.md.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
scripts/setup.sh default
bin="$top/build/default/bin"

demo_home=$(mktemp -d "${TMPDIR:-/tmp}/brevant-demo.XXXXXX")
standin_log="$demo_home/jira-standin.log"
"$bin/jira-standin" --port 0 "$@" >"$standin_log" 2>&1 &
standin_pid=$!
stop_standin() {
  kill "$standin_pid" 2>/dev/null || true
  wait "$standin_pid" 2>/dev/null || true
  rm -rf "$demo_home"
}
trap stop_standin EXIT

# The server's first line names the address it picked.
base=""
for _ in $(seq 100); do
  base=$(sed -n 's/^Listening on //p' "$standin_log")
  [ -n "$base" ] && break
  if ! kill -0 "$standin_pid" 2>/dev/null; then
    cat "$standin_log" >&2
    exit 1
  fi
  sleep 0.1
done
if [ -z "$base" ]; then
  echo "The stand-in Jira did not start." >&2
  exit 1
fi

support="$demo_home/Library/Application Support/quillfen_brevant"
mkdir -p "$support" "$demo_home/Downloads"
cat >"$support/SiteURL.plist" <<PLIST
<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
	<key>queryPage</key>
	<string>$base/issues/</string>
	<key>metricsPage</key>
	<string>$base/secure/Dashboard.jspa</string>
	<key>jiraLogin</key>
	<string>$base/login.jsp</string>
	<key>jiraSearch</key>
	<string>$base/issues/</string>
	<key>downloadCSV</key>
	<string>$base/issues/</string>
</dict>
</plist>
PLIST

# The web engine refuses to start its sandbox as root.
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi

echo "Stand-in Jira: $base (log in with any user name)."
echo "Throwaway home: $demo_home (exports land in its Downloads folder; removed on quit)."
env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME -u XDG_DOWNLOAD_DIR \
  HOME="$demo_home" "$bin/brevant"
