#!/usr/bin/env bash
# Installs what the build, the tests and the demo need, and does nothing when all of it
# is already there. Safe to run again and again; needs root (or sudo) only when something
# is missing.
set -euo pipefail

native=(cmake make g++ pkg-config libgtest-dev libgmock-dev zlib1g-dev clang-format python3)
cross=(g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 libz-mingw-w64-dev)
wine_pkgs=(wine wine32:i386 fonts-wine xvfb xauth x11-utils imagemagick)
sign=(osslsigncode openssl icoutils)
payload=(hunspell-bg hyphen-bg mythes-bg dpkg-dev locales libzopfli-dev)
# The benchmarks (a faster inflater to compare with); the sanitized build and the fuzz
# targets (clang with its sanitizer and libFuzzer runtimes, llvm-symbolizer for reports); the
# static analysis (clang-tidy, cppcheck).
bench=(libdeflate-dev)
hardening=(clang-14 libclang-rt-14-dev llvm-14 clang-tidy-14 cppcheck)
all=("${native[@]}" "${cross[@]}" "${wine_pkgs[@]}" "${sign[@]}" "${payload[@]}" "${bench[@]}"
  "${hardening[@]}")

missing=()
for p in "${all[@]}"; do
  if ! dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

# Debian's hunspell source, cross-built into the 32-bit hunspell.dll of the payload.
src_dir="${HUNSPELL_SRC_CACHE:-/var/cache/veloquin-setup/hunspell-src}"
need_source=0
if ! ls -d "$src_dir"/hunspell-*/ >/dev/null 2>&1; then need_source=1; fi

# A Bulgarian locale, so that Wine can be started with the ANSI code page 1251.
need_locale=0
if ! locale -a 2>/dev/null | grep -qix 'bg_BG.utf8'; then need_locale=1; fi

if [ ${#missing[@]} -eq 0 ] && [ $need_source -eq 0 ] && [ $need_locale -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi

echo "deps: installing: ${missing[*]:-} $([ $need_source = 1 ] && echo '(hunspell source)')"
export DEBIAN_FRONTEND=noninteractive

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi

# A deb-src twin of the system's own Debian sources, for `apt-get source`.
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
      $SUDO tee /etc/apt/sources.list.d/debian-src.sources >/dev/null
  elif [ -f /etc/apt/sources.list ]; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list | $SUDO tee /etc/apt/sources.list.d/debian-src.list >/dev/null
  fi
fi

$SUDO apt-get update -qq
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if [ $need_source -eq 1 ]; then
  $SUDO mkdir -p "$src_dir"
  (cd "$src_dir" && $SUDO apt-get source -qq hunspell >/dev/null)
fi
if ! locale -a 2>/dev/null | grep -qix 'bg_BG.utf8'; then
  if ! grep -q '^bg_BG.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'bg_BG.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
  $SUDO locale-gen >/dev/null
fi
echo "deps: done"
