#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine; then builds
# the rules that need no Windows natively under sanitizers and runs their tests and a short
# fuzz of each. VIMBREL_BUILD chooses another build folder (default: build), and the native
# build goes beside it (VIMBREL_HOST_BUILD, default: the same name with -host).
#
# On a machine that cannot run 32-bit Wine (see env.sh) the Wine tests run on the x86-64
# build (default folder: build-x86_64); the 32-bit exe, the one shipped, is then built as
# well and checked without being run (scripts/shipped.sh).
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
bash scripts/setup.sh
source scripts/env.sh
host_build=${VIMBREL_HOST_BUILD:-$VIMBREL_BUILD-host}

# The test presets' settings, for whichever folder a build is in.
run_tests() {
  ctest --test-dir "$1" --output-on-failure --parallel 2 --timeout 120
}
export -f run_tests

cmake --preset "$VIMBREL_PRESET" -B "$VIMBREL_BUILD" >/dev/null
bash scripts/wine-session.sh cmake --build "$VIMBREL_BUILD"
failed=0
bash scripts/wine-session.sh run_tests "$VIMBREL_BUILD" || failed=1

if [[ $VIMBREL_ARCH != i686 ]]; then
  shipped=$(bash scripts/wine-session.sh bash scripts/shipped.sh)
  run_tests "$shipped" || failed=1
fi

cmake --preset host-sanitize -B "$host_build" >/dev/null
cmake --build "$host_build"
run_tests "$host_build" || failed=1
exit "$failed"
