# The environment every Vimbrel build, run and test shares; sourced, not run.
repo=${repo:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export VIMBREL_BUILD=${VIMBREL_BUILD:-$repo/build}
export WINEPREFIX=${WINEPREFIX:-$VIMBREL_BUILD/wine-prefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
