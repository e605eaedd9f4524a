#!/usr/bin/env bash
# Takes the pictures of the meter, its window menu, the About box and the opacity window,
# under the Japanese code page and under a Western one, into docs/ (the README shows them).
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
bash scripts/build.sh Vimbrel watch_meter keeper >/dev/null
source scripts/env.sh
mkdir -p docs

shoot() {
  local locale=$1 suffix=$2 bin="$VIMBREL_BUILD/bin" folder
  folder=$(mktemp -d)
  cp "$bin/Vimbrel.exe" "$folder/"
  LC_ALL=$locale "$VIMBREL_WINE" "$folder/Vimbrel.exe" >/dev/null 2>&1 &
  watch() { LC_ALL=$locale "$VIMBREL_WINE" "$bin/watch_meter.exe" "$@" >/dev/null; }
  picture() {
    sleep 0.7
    import -window root "$folder/full.png"
    # The desktop of the virtual display is black: trim it away, keep a margin.
    convert "$folder/full.png" -trim +repage -bordercolor black -border 12 "docs/$1-$suffix.png"
  }
  # Near the middle, so that each picture shows the meter beside what it opened.
  watch place 470 390
  watch 2
  picture meter
  watch menu
  picture menu
  watch dismiss
  watch command 1
  picture about
  watch dismiss
  watch command 5
  picture opacity
  watch dismiss
  sleep 0.3
  watch close
  wait
  rm -rf "$folder"
}
export -f shoot

bash scripts/wine-session.sh bash -c 'shoot ja_JP.UTF-8 ja && shoot en_US.UTF-8 en'
ls -1 docs/*.png
