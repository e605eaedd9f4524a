#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
bash scripts/setup.sh
source scripts/env.sh

cmake --preset mingw >/dev/null
cmake --build --preset mingw
bash scripts/wine-session.sh ctest --preset mingw
