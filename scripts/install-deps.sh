#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Tamsel need.
# Idempotent: packages that are already installed are left alone, and nothing
# is fetched when everything is present.
set -euo pipefail

packages=(
  # native build
  cmake ninja-build g++ make pkg-config zlib1g-dev
  googletest libgtest-dev
  qt6-base-dev libxcb1-dev
  # Windows cross builds (zlib linked statically from the mingw package)
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 libz-mingw-w64-dev
  # running the Windows build: 64-bit Wine only (32-bit code cannot run here)
  wine wine64
  # the fonts Wine draws window frames and dialogs with (Marlett, Tahoma)
  fonts-wine
  # a display for window tests and screenshots
  xvfb xauth openbox xdotool x11-utils imagemagick
  # CJK text in the Qt front end
  fonts-wqy-microhei
  # independent ZIP readers and peers for tests and the benchmark
  locales
  unzip zip p7zip-full libarchive-tools python3 time
  # the Debian package (CPack with dpkg-shlibdeps)
  dpkg-dev file
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

sudo=()
if [[ $(id -u) -ne 0 ]]; then sudo=(sudo); fi

if ((${#missing[@]} > 0)); then
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Wine takes its ANSI code page from the locale; tests run it as zh_CN.UTF-8
# (code page 936), which glibc must have generated.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
  echo "install-deps: generating the zh_CN.UTF-8 locale"
  if ! grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'zh_CN.UTF-8 UTF-8' | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
  fi
  "${sudo[@]}" locale-gen >/dev/null
fi
