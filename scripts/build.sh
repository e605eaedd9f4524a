#!/usr/bin/env bash
# Installs what is missing and builds the given targets (all without any) in $VIMBREL_BUILD.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
bash scripts/setup.sh
source scripts/env.sh
cmake --preset "$VIMBREL_PRESET" -B "$VIMBREL_BUILD" >/dev/null
targets=()
for target in "$@"; do targets+=(--target "$target"); done
bash scripts/wine-session.sh cmake --build "$VIMBREL_BUILD" "${targets[@]}"
