#!/usr/bin/env bash
# On a machine that tests the x86-64 build (see env.sh), builds the 32-bit exe as shipped,
# with the tests that need not run it, into VIMBREL_SHIPPED_BUILD (default: the tested
# build's folder less -x86_64, else with -i686). Its icon is drawn by the tested build's
# make_icon, which the Wine here can run, so that build comes first. Prints the folder.
# Runs inside scripts/wine-session.sh; on a machine that tests the 32-bit build it only
# prints that build's folder.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
source scripts/env.sh
if [[ $VIMBREL_ARCH == i686 ]]; then
  echo "$VIMBREL_BUILD"
  exit 0
fi
shipped=$VIMBREL_BUILD-i686
[[ $VIMBREL_BUILD == *-x86_64 ]] && shipped=${VIMBREL_BUILD%-x86_64}
shipped=${VIMBREL_SHIPPED_BUILD:-$shipped}
cmake --preset mingw -B "$shipped" -DVIMBREL_WINE_TESTS=OFF \
  "-DVIMBREL_ICON_TOOL=$VIMBREL_BUILD/bin/make_icon.exe" \
  "-DVIMBREL_ICON_TOOL_EMULATOR=$VIMBREL_WINE" >/dev/null
cmake --build "$shipped" "$@" >&2
echo "$shipped"
