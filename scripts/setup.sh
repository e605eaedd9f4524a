#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks for building Vimbrel and testing it under
# Wine, and prepares the project's own Wine prefix: 32-bit, or 64-bit on a machine that runs
# 64-bit user code only (see env.sh). Safe to run again: it does only what is missing. Run
# as root.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

packages=(
  g++-mingw-w64-i686-posix cmake ninja-build make googletest
  wine wine32:i386 fonts-wine fonts-ipafont-gothic
  xvfb xauth imagemagick x11-utils
  clang libclang-rt-14-dev
)
# The same program as x86-64 and the Wine that runs it, for a machine that cannot run 32-bit
# Wine.
packages_64=(g++-mingw-w64-x86-64-posix wine64)

# A LOGFONTW of 8 points at 96 dpi with the given weight (little-endian hex) and face.
system_font_hex() {
  local face_hex
  face_hex=$(printf '%s' "$2" | iconv -f ASCII -t UTF-16LE | od -An -v -tx1 | tr -d ' \n')
  face_hex=$(printf '%-128s' "$face_hex" | tr ' ' 0)
  printf 'F5FFFFFF000000000000000000000000%s00000000000100000022%s' "$1" "$face_hex"
}

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

install_missing() {
  local missing=() package
  for package in "$@"; do
    installed "$package" || missing+=("$package")
  done
  ((${#missing[@]})) || return 0
  echo "setup: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

install_missing "${packages[@]}"
# 32-bit Wine is itself a 32-bit Linux program, which a kernel built or booted without IA-32
# emulation (or a hypervisor that allows 64-bit user code only) refuses.
if [[ ${VIMBREL_ARCH:-} == x86_64 ]] || ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  install_missing "${packages_64[@]}"
fi
# shellcheck source=scripts/env.sh
source "$repo/scripts/env.sh"
if ! "$VIMBREL_WINE" --version >/dev/null 2>&1; then
  echo "setup: $VIMBREL_WINE does not run on this machine, so Wine cannot build or test" \
    "Vimbrel here" >&2
  exit 1
fi
echo "setup: Windows programs are built for $VIMBREL_ARCH and run under $("$VIMBREL_WINE" --version) ($WINEARCH)"

ready="$WINEPREFIX/.vimbrel-prefix-ready-2"
if [[ ! -f $ready ]]; then
  echo "setup: preparing the Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  "$VIMBREL_WINE" wineboot -i >/dev/null 2>&1
  reg() { "$VIMBREL_WINE" reg add "$@" /f >/dev/null 2>&1; }
  # Without a window manager Wine otherwise stalls about 2 s on every window's destruction.
  reg 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
  # A crash must fail the test, not wait for someone to close a dialog.
  reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
  # Debian's Wine does not find its own fonts.
  fonts="$WINEPREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  cp /usr/share/wine/fonts/{tahoma.ttf,tahomabd.ttf,marlett.ttf} "$fonts/"
  # Windows outside Japan still shows Japanese in captions, menus and boxes through font
  # links, which Wine rewrites whenever a program starts under another code page. Give the
  # system's own fonts a face that has Japanese instead, so both code pages render it.
  for metric in CaptionFont SmCaptionFont MenuFont MessageFont StatusFont IconFont; do
    weight=9001
    [[ $metric == CaptionFont ]] && weight=BC02
    reg 'HKCU\Control Panel\Desktop\WindowMetrics' /v "$metric" /t REG_BINARY \
      /d "$(system_font_hex "$weight" IPAPGothic)"
  done
  wineserver -w
  touch "$ready"
fi
