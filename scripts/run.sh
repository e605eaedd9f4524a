#!/usr/bin/env bash
# Installs what is missing, builds the meter and runs it under Wine. With a display it runs
# there until you close it; without one it runs on a virtual display for a few seconds,
# prints the captions it showed, saves a screenshot as build/screenshot.png and closes it.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
bash scripts/build.sh Vimbrel watch_meter keeper >/dev/null
source scripts/env.sh
bin="$VIMBREL_BUILD/bin"

if [[ -n ${DISPLAY:-} ]]; then
  VIMBREL_USE_DISPLAY=1 bash scripts/wine-session.sh "$VIMBREL_WINE" "$bin/Vimbrel.exe"
  exit 0
fi

show() {
  "$VIMBREL_WINE" "$bin/Vimbrel.exe" >"$VIMBREL_BUILD/run.log" 2>&1 &
  local output
  output=$("$VIMBREL_WINE" "$bin/watch_meter.exe" "${VIMBREL_RUN_SECONDS:-4}" | tr -d '\r')
  grep -v '^rect' <<<"$output"
  read -r _ x y w h < <(grep '^rect' <<<"$output")
  import -window root "$VIMBREL_BUILD/screenshot-full.png"
  # The meter is tiny: keep a margin of desktop around it.
  convert "$VIMBREL_BUILD/screenshot-full.png" \
    -crop "$((w + 80))x$((h + 60))+$((x > 40 ? x - 40 : 0))+$((y > 30 ? y - 30 : 0))" +repage \
    "$VIMBREL_BUILD/screenshot.png"
  "$VIMBREL_WINE" "$bin/watch_meter.exe" close
  wait
  echo "screenshot: $VIMBREL_BUILD/screenshot.png"
}
export -f show
export bin
bash scripts/wine-session.sh bash -c show
