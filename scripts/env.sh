# The environment every Vimbrel build, run and test shares; sourced, not run.
#
# The tests start the Windows programs they build, so those are built for a Wine that this
# machine can run. Vimbrel ships as a 32-bit program, and where the kernel runs 32-bit code
# it is tested as one. A kernel without IA-32 emulation refuses 32-bit Wine, itself a 32-bit
# Linux program, with "Exec format error"; there the same sources are built as x86-64 and
# tested under 64-bit Wine, and the 32-bit exe is still built and checked without running it.
# VIMBREL_ARCH (i686 or x86_64) chooses by hand.
repo=${repo:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
if [[ -z ${VIMBREL_ARCH:-} ]]; then
  if [[ -x /usr/lib/wine/wine64 ]] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    VIMBREL_ARCH=x86_64
  else
    VIMBREL_ARCH=i686
  fi
fi
export VIMBREL_ARCH
if [[ $VIMBREL_ARCH == x86_64 ]]; then
  export VIMBREL_PRESET=mingw64 WINEARCH=win64 VIMBREL_WINE=/usr/lib/wine/wine64
  export VIMBREL_BUILD=${VIMBREL_BUILD:-$repo/build-x86_64}
else
  export VIMBREL_PRESET=mingw WINEARCH=win32 VIMBREL_WINE=/usr/lib/wine/wine
  export VIMBREL_BUILD=${VIMBREL_BUILD:-$repo/build}
fi
# Debian's wine launcher, and the tools that go through it (wineboot, winepath, ...), pick
# 32-bit Wine wherever it is installed, so scripts start Wine as "$VIMBREL_WINE" instead; Wine
# itself starts further programs with WINELOADER.
export WINELOADER=$VIMBREL_WINE
export WINEPREFIX=${WINEPREFIX:-$VIMBREL_BUILD/wine-prefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
