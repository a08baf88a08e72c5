#!/usr/bin/env bash
# Runs one end-to-end scenario: a fresh copy of the template prefix, a private X display,
# an optional set-up script that stages the prefix, then the driver with the scenario
# script, all under a hard time limit. Everything the run leaves (driver log, screenshots,
# Xvfb log, and the prefix when the run failed) goes to the output folder.
#
# Usage: run-scenario.sh --script FILE --template DIR --out DIR
#          (--win-build DIR | --driver EXE) [--setup FILE] [--timeout SECONDS]
#          [--locale bg|LOCALE] [--expect-failure REGEX]... [--env NAME=VALUE]...
#
# Scripts and set-up scripts can use, as Windows paths: E2E_OUT (the output folder),
# E2E_DATA (the folder of the scenario script), E2E_BIN (the driver's folder), and with
# --win-build: E2E_WIN_BUILD, E2E_SETUP (setup.exe), E2E_SAMPLE (the sample program).
# Set-up scripts also get Unix paths: E2E_OUT_DIR, E2E_SCENARIO_DIR, WINEPREFIX.
#
# Exit code 0 when the scenario passed, or, with --expect-failure, when the driver reported
# a failure (exit code 1 or 2) and its log matches every REGEX.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=wine-env.sh
source "$here/wine-env.sh"

script="" driver="" template="" out="" setup="" timeout_s=60 locale="" win_build=""
expect_failure=() envs=()
while [ $# -gt 0 ]; do
  [ $# -ge 2 ] || e2e_die "$1 needs a value"
  case "$1" in
    --script) script="$2" ;;
    --driver) driver="$2" ;;
    --win-build) win_build="$2" ;;
    --template) template="$2" ;;
    --out) out="$2" ;;
    --setup) setup="$2" ;;
    --timeout) timeout_s="$2" ;;
    --locale) locale="$2" ;;
    --expect-failure) expect_failure+=("$2") ;;
    --env) envs+=("$2") ;;
    *) e2e_die "unknown argument $1" ;;
  esac
  shift 2
done
[ -n "$driver" ] || [ -z "$win_build" ] || driver="$win_build/e2e/e2edriver.exe"
[ -n "$script" ] && [ -n "$driver" ] && [ -n "$template" ] && [ -n "$out" ] ||
  e2e_die "run-scenario.sh needs --script, --template, --out and --win-build or --driver"
e2e_require wine wineserver Xvfb timeout iconv flock
[ -f "$script" ] || e2e_die "no scenario script $script"
[ -f "$driver" ] || e2e_die "no driver $driver (build the Windows build first)"
[ -z "$setup" ] || [ -f "$setup" ] || e2e_die "no set-up script $setup"
script="$(realpath "$script")"
driver="$(realpath "$driver")"
[ -z "$setup" ] || setup="$(realpath "$setup")"

case "$locale" in
  "") ;;
  bg) locale=bg_BG.UTF-8 ;;
esac
if [ -n "$locale" ]; then
  e2e_require_locale "$locale"
  export LC_ALL="$locale" LANG="$locale"
fi
e2e_log "locale $LC_ALL"

rm -rf "$out"
mkdir -p "$out"
out="$(realpath "$out")"
export WINEPREFIX="$out/prefix"
passed=0 watchdog=""
running="$out/.running.$$"
: >"$running"

cleanup() {
  local rc=$?
  trap - EXIT INT TERM
  [ -z "$watchdog" ] || kill -9 "$watchdog" 2>/dev/null || true
  rm -f "$running"
  wine_stop
  xvfb_stop
  wine_forget_server_dir "$WINEPREFIX"
  if [ "$passed" = 1 ] && [ "${E2E_KEEP_PREFIX:-0}" != 1 ]; then
    rm -rf "$WINEPREFIX"
  fi
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

ms() { echo $((($(date +%s%N) - $1) / 1000000)); }

t=$(date +%s%N)
wine_copy_prefix "$template" "$WINEPREFIX"
e2e_log "prefix copied in $(ms "$t") ms"

xvfb_start "$out/xvfb.log"

# Killed outright (a test runner's own time limit), this script cannot clean up; a watcher
# then stops the X server and Wine so that nothing outlives the run. It acts only while this
# run's marker exists: a later run of the same scenario starts with a new folder.
(
  trap '' INT TERM HUP
  while kill -0 $$ 2>/dev/null; do sleep 1; done
  if [ -e "$running" ]; then
    kill "$E2E_XVFB_PID" 2>/dev/null || true
    timeout 10 wineserver -k 2>/dev/null || true
    rm -f "$running"
  fi
) </dev/null >/dev/null 2>&1 &
watchdog=$!
disown "$watchdog"

export E2E_OUT E2E_DATA E2E_BIN E2E_OUT_DIR="$out" E2E_SCENARIO_DIR
E2E_SCENARIO_DIR="$(dirname "$script")"
E2E_OUT="$(wine_path "$out")"
E2E_DATA="$(wine_path "$E2E_SCENARIO_DIR")"
E2E_BIN="$(wine_path "$(dirname "$driver")")"
if [ -n "$win_build" ]; then
  export E2E_WIN_BUILD E2E_SETUP E2E_SAMPLE
  E2E_WIN_BUILD="$(wine_path "$win_build")"
  E2E_SETUP="$E2E_WIN_BUILD\\setup.exe"
  E2E_SAMPLE="$E2E_WIN_BUILD\\e2e\\e2esample.exe"
fi
for kv in ${envs[@]+"${envs[@]}"}; do
  export "${kv%%=*}=${kv#*=}"
done

if [ -n "$setup" ]; then
  t=$(date +%s%N)
  export E2E_STAGED_REG="$out/staged.txt"
  : >"$E2E_STAGED_REG"
  # shellcheck source=/dev/null
  (set -euo pipefail; source "$setup") || e2e_die "the set-up script $setup failed"
  if [ -s "$E2E_STAGED_REG" ]; then
    { echo 'Windows Registry Editor Version 5.00'; cat "$E2E_STAGED_REG"; } |
      wine_write_reg_file "$out/staged.reg"
    wine_import_reg "$out/staged.reg"
  fi
  e2e_log "prefix staged in $(ms "$t") ms"
fi

e2e_log "running $(basename "$script") with a limit of ${timeout_s} s"
t=$(date +%s%N)
cd "$out"
set +e
run_bounded "$timeout_s" wine "$driver" "$(wine_path "$script")" </dev/null 2>&1 |
  tee "$out/driver.log"
rc=${PIPESTATUS[0]}
set -e
e2e_log "driver finished with exit code $rc in $(ms "$t") ms"

if [ "$rc" != 0 ]; then
  # The screen as the run left it, before Wine is stopped.
  e2e_screenshot "$out/end.png" 2>/dev/null || true
fi
e2e_bmp_to_png "$out" || e2e_log "could not convert the screenshots to PNG"

if ! grep -Eq '^(\[[0-9]+\] |script error|PASS: |usage|cannot read the script)' "$out/driver.log"; then
  e2e_log "the driver never ran its script: Wine or the display failed (Xvfb log: $out/xvfb.log)"
  exit 1
fi

if [ ${#expect_failure[@]} -gt 0 ]; then
  if [ "$rc" != 1 ] && [ "$rc" != 2 ]; then
    e2e_log "expected the driver to report a failure (exit code 1 or 2), got exit code $rc"
    exit 1
  fi
  for re in "${expect_failure[@]}"; do
    if ! grep -Eq -- "$re" "$out/driver.log"; then
      e2e_log "the scenario failed, but no line of its log matches: $re"
      exit 1
    fi
  done
  passed=1
  e2e_log "failed as expected"
  exit 0
fi

if [ "$rc" != 0 ] || ! grep -q '^PASS: ' "$out/driver.log"; then
  e2e_log "scenario FAILED; its folder: $out (prefix kept; failure.png: the screen when the" \
    "driver failed, end.png: the screen at the end)"
  [ "$rc" != 0 ] || rc=1
  exit "$rc"
fi
passed=1
