#!/usr/bin/env bash
# The demo of `make demo`: runs the built setup.exe under Wine in a fresh prefix with a
# stand-in host installation, then shows what the setup left behind.
#
#   demo.sh WIN_BUILD
#
# The prefix is <build>/demo/prefix, copied from the Wine tests' template (made on first use),
# with the stand-in host in C:\Program Files\Veloquin and the host's hidden folder under
# C:\ProgramData. With a display that answers ($DISPLAY), the setup opens there for the user
# to click through. Without one it runs on a private X server, driven through every page
# with the default answers, and a PNG of each page the user sees lands in <build>/demo/.
# Either way the demo then lists the installed files with their sizes and times, the update
# log, the install stamp, the saved settings and the setup's exit code.
#
# Exit code 0 when the setup ran and (when driven) every page was reached; otherwise 1,
# after the same report of whatever is there.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(dirname "$here")"
# shellcheck source=wine/wine-env.sh
source "$here/wine/wine-env.sh"

[ $# -eq 1 ] || e2e_die "usage: demo.sh WIN_BUILD"
[ -d "$1" ] || e2e_die "no Windows build in $1 (run make win)"
win_build="$(realpath "$1")"
build="$(dirname "$win_build")"
demo="$build/demo"
template="$build/native/wine/template"
suite="$repo/tests/e2e/suite"
setup_exe="$win_build/setup.exe"
[ -f "$setup_exe" ] || e2e_die "no $setup_exe (run make win)"
e2e_require wine wineserver Xvfb timeout iconv flock od awk
# The user clicks through for at most this long before the setup is stopped.
interactive_limit="${DEMO_TIME_LIMIT:-1800}"

bash "$here/wine/make-template.sh" "$template" >/dev/null

# ---- the run ------------------------------------------------------------------------------

setup_code=""
run_ok=0

# On the user's display: the same staging as the driven run, then the setup itself.
run_interactive() {
  rm -rf "$demo"
  mkdir -p "$demo"
  export WINEPREFIX="$demo/prefix"
  trap 'wine_stop; wine_forget_server_dir "$WINEPREFIX"' EXIT
  wine_copy_prefix "$template" "$WINEPREFIX"
  (
    export E2E_WIN_BUILD E2E_OUT_DIR="$demo" E2E_SCENARIO_DIR="$suite"
    E2E_WIN_BUILD="$(wine_path "$win_build")"
    export E2E_STAGED_REG="$demo/staged.txt"
    : >"$E2E_STAGED_REG"
    # shellcheck source=../tests/e2e/suite/demo_stage.sh
    source "$suite/demo_stage.sh"
    if [ -s "$E2E_STAGED_REG" ]; then
      { echo 'Windows Registry Editor Version 5.00'; cat "$E2E_STAGED_REG"; } |
        wine_write_reg_file "$demo/staged.reg"
      wine_import_reg "$demo/staged.reg"
    fi
  ) || e2e_die "could not stage the demo prefix $WINEPREFIX"
  e2e_log "setup.exe is open on $DISPLAY; click through it (limit ${interactive_limit} s)"
  local rc=0
  (cd "$demo" && run_bounded "$interactive_limit" wine "$setup_exe") || rc=$?
  case $rc in
    124 | 137) setup_code="none: setup.exe still ran after ${interactive_limit} s and was stopped" ;;
    *) setup_code=$rc run_ok=1 ;;
  esac
  wine_stop
}

# On a private X server, driven by the demo scenario; the screenshots come out as PNG.
run_driven() {
  local rc=0
  E2E_KEEP_PREFIX=1 bash "$here/wine/run-scenario.sh" --script "$suite/demo.e2e" \
    --setup "$suite/demo_stage.sh" --win-build "$win_build" --template "$template" \
    --out "$demo" --timeout 180 || rc=$?
  [ "$rc" = 0 ] && run_ok=1
  export WINEPREFIX="$demo/prefix"
  local log="$demo/driver.log"
  setup_code="$(sed -n 's/.*program exit code \([0-9]*\).*/\1/p; s/.*program exited with code \([0-9]*\).*/\1/p; s/^program: exited with code \([0-9]*\).*/\1/p' \
    "$log" 2>/dev/null | tail -n 1)"
  if [ -z "$setup_code" ] && grep -q '^program: still running' "$log" 2>/dev/null; then
    setup_code="none: setup.exe was still running and was stopped"
  fi
}

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  run_interactive
else
  unset DISPLAY
  run_driven
fi

# ---- the report ---------------------------------------------------------------------------

c_drive="$demo/prefix/drive_c"
data="$c_drive/ProgramData/Veloquin"

# A day count (8-byte double, days since 1899-12-30 with the time of day as the fraction,
# local time) as a date and time.
day_count_text() {
  local days ms
  days="$(od -An -t f8 -v "$1" | tr -d ' ')"
  ms="$(awk -v d="$days" 'BEGIN { printf "%.0f", (d - 25569) * 86400000 }')"
  printf '%s days = %s.%03d\n' "$days" \
    "$(date -u -d "@$((ms / 1000))" '+%Y-%m-%d %H:%M:%S')" "$((ms % 1000))"
}

# The values of a key in a Wine registry file, as NAME = VALUE lines.
registry_values() {
  local file="$1" key="$2"
  awk -v key="[$key]" '
    index($0, key) == 1 { inside = 1; next }
    /^\[/ { inside = 0 }
    inside && /^"/ { print }' "$file" |
    sed -e 's/^"\([^"]*\)"=/\1 = /' -e 's/\\\\/\\/g'
}

echo
echo "==== What the setup left in $demo/prefix"
echo
echo "Installed files (C:\\ProgramData\\Veloquin\\Public, local times):"
if [ -d "$data/Public" ]; then
  (cd "$data/Public" && find . -type f -printf '  %TY-%Tm-%Td %TH:%TM:%.2TS  %10s  %P\n' | sort -k4)
else
  echo "  (none)"
fi
portable="$(find "$c_drive/Program Files/Veloquin" -mindepth 1 -type d 2>/dev/null || true)"
[ -z "$portable" ] || echo "Folders beside the host: $portable"

echo
echo "Update log (C:\\ProgramData\\Veloquin\\Update.log):"
if [ -f "$data/Update.log" ]; then
  tr -d '\r' <"$data/Update.log" | sed -e 's/\t/<TAB>/g' -e 's/^/  /'
else
  echo "  (none)"
fi

echo
echo "Install stamp (C:\\ProgramData\\Veloquin\\Hidden\\install_stamp):"
stamp="$data/Hidden/install_stamp"
if [ -f "$stamp" ] && [ "$(stat -c %s "$stamp")" = 8 ]; then
  echo "  bytes $(od -An -t x1 -v "$stamp" | tr -s ' ' | sed 's/^ //')"
  echo "  $(day_count_text "$stamp")"
elif [ -f "$stamp" ]; then
  echo "  $(stat -c %s "$stamp") bytes (not 8)"
else
  echo "  (none)"
fi

echo
echo "Settings (HKCU\\Software\\Veloquin Word Processor\\Install):"
values=""
[ -f "$demo/prefix/user.reg" ] &&
  values="$(registry_values "$demo/prefix/user.reg" 'Software\\\\Veloquin Word Processor\\\\Install')"
if [ -n "$values" ]; then
  printf '%s\n' "$values" | sed 's/^/  /'
else
  echo "  (none)"
fi

echo
if [ -f "$c_drive/Program Files/Veloquin/vqd-started.txt" ]; then
  echo "The host was started: $(tr -d '\r' <"$c_drive/Program Files/Veloquin/vqd-started.txt" | head -n 1)"
else
  echo "The host was not started."
fi
echo "Exit code of setup.exe: ${setup_code:-unknown}"

shots="$(find "$demo" -maxdepth 1 -name '*.png' -printf '%f\n' | sort)"
if [ -n "$shots" ]; then
  echo "Screenshots in $demo:"
  printf '%s\n' "$shots" | sed 's/^/  /'
fi

if [ "$run_ok" != 1 ]; then
  echo
  if [ -f "$demo/driver.log" ]; then
    echo "The demo did not complete; the run's log: $demo/driver.log"
  else
    echo "The demo did not complete."
  fi
  exit 1
fi
