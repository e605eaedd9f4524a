#!/usr/bin/env bash
# Installs what is missing, builds Vimbrel and the benchmark, and measures Vimbrel beside a
# floor program of the same kind: its own CPU cost, start-up, accuracy under controlled load,
# and footprint. Prints a Markdown table; takes about 8 minutes. It is a benchmark, not a
# test: it passes or fails nothing. VIMBREL_BUILD chooses another build folder.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
bash scripts/build.sh Vimbrel bench_floor bench_driver app_tests keeper >/dev/null
source scripts/env.sh
mkdir -p "$VIMBREL_BUILD/bench"
# The load runs natively, beside Wine rather than under it.
cc=$(command -v cc || command -v clang)
"$cc" -O2 -pthread bench/Load.c -o "$VIMBREL_BUILD/bench/load"
# The footprint is the shipped 32-bit exe's, wherever the rest runs on the x86-64 build.
VIMBREL_SHIPPED_BUILD=$(bash scripts/wine-session.sh bash scripts/shipped.sh --target Vimbrel)
export VIMBREL_SHIPPED_BUILD
bash scripts/wine-session.sh bash bench/measure.sh
