#!/usr/bin/env bash
# Pictures of the program as a person sees it: runs it under a virtual X display with the
# hidden --demo-screenshots switch, which makes a small project and saves a picture of the
# window and of each dialog into the shots folder; then takes a picture of the whole screen.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
SHOTS=${SHOTS:-shots}
program="$BUILD/src/app/quorvane"
[ -x "$program" ] || { echo "missing $program: build first" >&2; exit 1; }
mkdir -p "$SHOTS"
rm -f "$SHOTS"/*.png "$SHOTS/.ready"
# A settings folder of its own, so the user's recent files and window place stay untouched.
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT

export XDG_CONFIG_HOME="$config"
xvfb-run -a -s "-screen 0 1280x900x24" bash -c '
  set -u
  "$1" --demo-screenshots "$2" &
  pid=$!
  for _ in $(seq 1 600); do
    [ -e "$2/.ready" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -e "$2/.ready" ]; then
    import -window root "$2/screen.png"
    rm -f "$2/.ready"
  else
    echo "the program did not get ready" >&2
  fi
  wait "$pid"
' screenshots "$program" "$SHOTS"
ls -1 "$SHOTS"/*.png
