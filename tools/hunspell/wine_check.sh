#!/usr/bin/env bash
# Runs hunspell_check.exe under Wine against a built hunspell.dll and a dictionary.
#
#   wine_check.sh PREFIX CHECK_EXE DLL AFF DIC
#
# PREFIX is a private Wine prefix, made on first use (slow: half a minute or more) and kept
# for later runs. Paths are Linux paths; they reach the program through Wine's Z: drive.
# Exit codes: the checker's own (0 pass, 1 fail), 77 when Wine is not installed, 2 when an
# input is missing or the prefix cannot be made.
set -uo pipefail

if [ $# -ne 5 ]; then
  echo "usage: $0 PREFIX CHECK_EXE DLL AFF DIC" >&2
  exit 2
fi
prefix=$1
check_exe=$2
dll=$3
aff=$4
dic=$5

if ! command -v wine >/dev/null 2>&1; then
  echo "SKIP: wine is not installed"
  exit 77
fi

for f in "$check_exe" "$dll"; do
  if [ ! -f "$f" ]; then
    echo "FAIL: $f not found; build the Windows build first" >&2
    exit 2
  fi
done
for f in "$aff" "$dic"; do
  if [ ! -f "$f" ]; then
    echo "FAIL: $f not found; install the Bulgarian dictionary (hunspell-bg)" >&2
    exit 2
  fi
done

export WINEPREFIX=$prefix
export WINEARCH=win32
export WINEDEBUG=-all
# No Mono or Gecko installers on first start, and no debugger: a crash ends the program
# with an error code instead of waiting on a crash dialog.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
unset WINELOADER WINESERVER

winpath() {
  local abs
  abs=$(realpath "$1") || return 1
  printf 'Z:%s' "${abs//\//\\}"
}

# The prefix counts as made only once wineboot has finished; a half-made one (an earlier
# run killed by a timeout) is thrown away and made again.
if [ ! -f "$prefix/.made" ]; then
  if [ -n "$(ls -A "$prefix" 2>/dev/null)" ] && [ ! -e "$prefix/dosdevices" ] &&
    [ ! -e "$prefix/drive_c" ]; then
    echo "FAIL: $prefix is not a Wine prefix; not replacing it" >&2
    exit 2
  fi
  rm -rf "$prefix"
  mkdir -p "$(dirname "$prefix")"
  echo "making Wine prefix $prefix"
  if ! wineboot --init >/dev/null 2>&1 || ! wineserver --wait; then
    echo "FAIL: could not make the Wine prefix $prefix" >&2
    exit 2
  fi
  touch "$prefix/.made"
fi

wine "$check_exe" "$(winpath "$dll")" "$(winpath "$aff")" "$(winpath "$dic")"
rc=$?
# Leave no wineserver of this prefix behind holding the test's output open.
wineserver --wait
exit $rc
