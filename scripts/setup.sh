#!/usr/bin/env bash
# Installs, on Debian 12, whatever the build, the program and the tests need and
# is not there yet. Safe to run again: it does nothing when all is present.
set -euo pipefail

packages=(
  cmake make g++ clang libclang-rt-14-dev zlib1g-dev clang-tidy-14 python3
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  googletest libgtest-dev libgmock-dev
  wine wine64 fonts-wine fonts-liberation xfonts-base
  libxcomposite1 libxcursor1 libxfixes3 libxi6 libxinerama1 libxrandr2 libxrender1 libxxf86vm1
  xvfb x11-utils imagemagick zip unzip procps
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

# Every package is named above, recommended ones left out: Wine only
# recommends the X extension libraries its display driver loads (drawing,
# input, cursors, screens) and its fonts, so those are named too.
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=""
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
      echo "setup: these packages are missing and this user is not root and has no sudo: ${missing[*]}" >&2
      exit 1
    fi
    sudo_cmd="sudo"
  fi
  if ! $sudo_cmd apt-get update -qq; then
    echo "setup: apt-get update failed; cannot install ${missing[*]}" >&2
    exit 1
  fi
  if ! DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; then
    echo "setup: apt-get could not install ${missing[*]} (is each package in the configured sources?)" >&2
    exit 1
  fi
  echo "setup: installed ${missing[*]}"
fi
