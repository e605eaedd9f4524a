#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine; then builds
# the rules that need no Windows natively under sanitizers and runs their tests and a short
# fuzz of each. VIMBREL_BUILD chooses another build folder (default: build), and the native
# build goes beside it (VIMBREL_HOST_BUILD, default: the same name with -host).
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
bash scripts/setup.sh
source scripts/env.sh
host_build=${VIMBREL_HOST_BUILD:-$VIMBREL_BUILD-host}

cmake --preset mingw -B "$VIMBREL_BUILD" >/dev/null
bash scripts/wine-session.sh cmake --build "$VIMBREL_BUILD"
failed=0
bash scripts/wine-session.sh ctest --preset mingw --test-dir "$VIMBREL_BUILD" || failed=1

cmake --preset host-sanitize -B "$host_build" >/dev/null
cmake --build "$host_build"
ctest --preset host-sanitize --test-dir "$host_build" || failed=1
exit "$failed"
