#!/usr/bin/env bash
# Runs the contract suite (contract_tests.exe) under Wine in a private prefix and passes only
# when GoogleTest reports that it ran tests and that none failed.
#
#   run_wine.sh EXE PREFIX [LOCALE [TIME_ZONE [CODE_PAGE]]]
#
# LOCALE (for example bg_BG.UTF-8) becomes LC_ALL, which chooses Wine's ANSI code page;
# CODE_PAGE is the code page the run must then have, checked by the suite itself.
# Exit codes: 0 passed; 77 the exe is missing (the Windows build was not made); 1 anything
# else, Wine that does not start included.
set -euo pipefail

exe=${1:?usage: run_wine.sh EXE PREFIX [LOCALE [TIME_ZONE [CODE_PAGE]]]}
prefix=${2:?usage: run_wine.sh EXE PREFIX [LOCALE [TIME_ZONE [CODE_PAGE]]]}
locale=${3:-}
zone=${4:-}
codePage=${5:-}

if [ ! -f "$exe" ]; then
  echo "contract: $exe not built (make the Windows build first); skipped"
  exit 77
fi
command -v wine >/dev/null || { echo "contract: wine not found (run scripts/deps.sh)" >&2; exit 1; }

exe=$(realpath "$exe")
prefix=$(realpath -m "$prefix")  # Wine wants an absolute prefix
export WINEARCH=win32 WINEPREFIX="$prefix" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY  # a console program; no window may wait for anyone
if [ -n "$locale" ]; then
  if ! locale -a 2>/dev/null | grep -qix "${locale/UTF-8/utf8}"; then
    echo "contract: locale $locale is not installed (run scripts/deps.sh)" >&2
    exit 1
  fi
  export LC_ALL="$locale"
fi
[ -n "$zone" ] && export TZ="$zone"
[ -n "$codePage" ] && export CONTRACT_EXPECT_CODE_PAGE="$codePage"

mkdir -p "$(dirname "$prefix")"
log="$prefix.log"
# Wine's own output goes to the log, so that a lingering wineserver holds no pipe of CTest's.
if [ ! -f "$prefix/system.reg" ]; then
  if ! wineboot -i >"$log" 2>&1; then
    cat "$log" >&2
    echo "contract: wineboot failed for $prefix" >&2
    exit 1
  fi
fi

status=0
wine "$exe" --gtest_color=no >"$log" 2>&1 </dev/null || status=$?
cat "$log"

# GoogleTest's summary, not only the exit code: a Wine that cannot start the program also
# ends with an exit code, and a run that ran nothing must not count as a pass.
ran=$(sed -n 's/^\[==========\] \([0-9]*\) tests\? from .* ran\..*/\1/p' "$log" | tail -1)
passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p' "$log" | tail -1)
if [ -z "$ran" ] || [ "$ran" -eq 0 ] || [ -z "$passed" ]; then
  echo "contract: no GoogleTest summary from $exe under Wine (exit status $status)" >&2
  exit 1
fi
if [ "$status" -ne 0 ] || grep -q '^\[  FAILED  \]' "$log"; then
  echo "contract: failures under Wine (exit status $status)" >&2
  exit 1
fi
echo "contract: $passed of $ran tests passed under Wine${locale:+ ($locale)}"
