#!/usr/bin/env bash
# The harness must fail, and say why, whenever it cannot really run a scenario: no X
# server, no Wine, no driver, or a driver that Wine cannot start. A harness that passed in
# any of these cases would hide every end-to-end test behind a green result.
# Usage: harness_fails_loudly.sh <scripts/wine> <template> <work folder> <Windows build>
set -euo pipefail
scripts="$1" template="$2" work="$3" win_build="$4"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
rm -rf "$work"
mkdir -p "$work"
passed=0 failed=0

# expect_failure NAME REGEX COMMAND...: COMMAND must exit non-zero and print REGEX.
expect_failure() {
  local name="$1" re="$2" rc=0
  shift 2
  "$@" >"$work/$name.log" 2>&1 || rc=$?
  if [ "$rc" = 0 ]; then
    echo "FAIL $name: exit code 0"
    sed 's/^/    /' "$work/$name.log"
    failed=$((failed + 1))
  elif ! grep -Eq -- "$re" "$work/$name.log"; then
    echo "FAIL $name: exit code $rc, but nothing matches '$re':"
    sed 's/^/    /' "$work/$name.log"
    failed=$((failed + 1))
  else
    echo "ok   $name (exit code $rc)"
    passed=$((passed + 1))
  fi
}

run() {
  bash "$scripts/run-scenario.sh" --script "$here/sample_dialogs.e2e" --template "$template" \
    --out "$work/run" --timeout 30 "$@"
}

# An X server that dies at once.
E2E_XVFB=false expect_failure no_display 'no X display' run --win-build "$win_build"

# No Wine on the PATH: every other program stays reachable.
nowine="$work/path-without-wine"
mkdir -p "$nowine"
for dir in /usr/local/bin /usr/bin /bin; do
  ln -s "$dir"/* "$nowine/" 2>/dev/null || true # the first of a name wins
done
rm -f "$nowine"/wine*
PATH="$nowine" expect_failure no_wine 'missing programs: .*wine' run --win-build "$win_build"

expect_failure no_driver 'no driver' run --driver "$work/missing/e2edriver.exe"

# A driver that is no Windows program: Wine refuses it, and the run must not pass.
printf 'not a program\n' >"$work/broken.exe"
expect_failure broken_driver 'never ran its script' run --driver "$work/broken.exe"

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
