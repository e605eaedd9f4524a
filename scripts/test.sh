#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine.
# VIMBREL_BUILD chooses another build folder (default: build).
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
bash scripts/setup.sh
source scripts/env.sh

cmake --preset mingw -B "$VIMBREL_BUILD" >/dev/null
bash scripts/wine-session.sh cmake --build "$VIMBREL_BUILD"
bash scripts/wine-session.sh ctest --preset mingw --test-dir "$VIMBREL_BUILD"
