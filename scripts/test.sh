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

# A test preset always tests its own configure preset's folder, so another folder gets the
# preset's settings spelt out.
run_tests() {
  local preset=$1 folder=$2 default=$3
  if [[ $folder -ef $default ]]; then
    ctest --preset "$preset"
  else
    ctest --test-dir "$folder" --output-on-failure --parallel 2 --timeout 120
  fi
}
export -f run_tests

cmake --preset mingw -B "$VIMBREL_BUILD" >/dev/null
bash scripts/wine-session.sh cmake --build "$VIMBREL_BUILD"
failed=0
bash scripts/wine-session.sh run_tests mingw "$VIMBREL_BUILD" "$repo/build" || failed=1

cmake --preset host-sanitize -B "$host_build" >/dev/null
cmake --build "$host_build"
run_tests host-sanitize "$host_build" "$repo/build-host" || failed=1
exit "$failed"
