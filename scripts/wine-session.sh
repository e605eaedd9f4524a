#!/usr/bin/env bash
# Runs a command inside a warm Wine session on a display: a persistent wineserver and a
# keeper process holding the desktop, so each Windows process starts in milliseconds.
# Uses $DISPLAY when VIMBREL_USE_DISPLAY=1 and one is set; otherwise a virtual display of
# its own, so tests never touch the user's screen.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$repo/scripts/env.sh"

xvfb_pid=
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" >/dev/null 2>&1 || true
}
trap cleanup EXIT

if [[ ${VIMBREL_USE_DISPLAY:-0} != 1 || -z ${DISPLAY:-} ]]; then
  displayfd=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$displayfd" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [[ -s $displayfd ]] && break
    sleep 0.05
  done
  export DISPLAY=":$(head -n1 "$displayfd")"
  rm -f "$displayfd"
fi

wineserver -p
# The session's background services outlive the first Wine program; started here, away
# from the command's output, they hold no pipe of a build or a test run open.
"$VIMBREL_WINE" cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
keeper="$VIMBREL_BUILD/bin/keeper.exe"
if [[ -f $keeper ]]; then
  ready=$(mktemp -u /tmp/vimbrel-keeper.XXXXXX)
  "$VIMBREL_WINE" "$keeper" "$("$VIMBREL_WINE" winepath -w "$ready" 2>/dev/null)" >/dev/null 2>&1 &
  for _ in $(seq 600); do
    [[ -e $ready ]] && break
    sleep 0.05
  done
  rm -f "$ready"
fi

"$@"
