# shellcheck shell=bash
# Helpers for running Windows programs under Wine in private, throw-away prefixes on a
# private X display. Sourced by the other scripts in this folder and by scenario set-up
# scripts; the callers run with `set -euo pipefail`.
#
# Every run gets its own prefix (and so its own wineserver) copied from one template, so
# runs can go in parallel and none sees what another left behind.

# Wine as the setup meets it on a user's machine: 32-bit, no .NET or HTML engine prompts,
# no desktop menu entries, no crash dialog waiting for a click.
export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"

# Wine takes its code page, language and the texts of its own dialogs from the Unix locale;
# runs are the same everywhere unless a scenario asks for another locale.
export LC_ALL="${E2E_LOCALE:-C.UTF-8}" LANG="${E2E_LOCALE:-C.UTF-8}"
unset LANGUAGE

# Screen of the private display and of Wine's desktop inside it.
E2E_SCREEN="${E2E_SCREEN:-1024x768}"

e2e_log() { printf '[%s] %s\n' "$(date +%H:%M:%S.%3N)" "$*" >&2; }
e2e_die() {
  e2e_log "ERROR: $*"
  exit 1
}

# Fails with a clear message when a needed program is missing.
e2e_require() {
  local missing=() tool
  for tool in "$@"; do command -v "$tool" >/dev/null 2>&1 || missing+=("$tool"); done
  if [ ${#missing[@]} -gt 0 ]; then
    e2e_die "missing programs: ${missing[*]} (run scripts/deps.sh)"
  fi
}

# A Unix path as Wine's Z: drive shows it (Z: is the Unix root in every prefix).
wine_path() {
  local p
  p="$(realpath -m "$1")"
  printf 'Z:%s' "${p//\//\\}"
}

# What a template depends on: the Wine build and its wine.inf. A template made by another
# Wine is stale, and Wine would rewrite it in place on first use.
wine_template_stamp() {
  local inf=/usr/share/wine/wine.inf fonts
  fonts="$(ls /usr/share/wine/fonts 2>/dev/null | md5sum | cut -c1-8)"
  printf '%s %s fonts:%s\n' "$(wine --version 2>/dev/null)" \
    "$(stat -c %Y "$inf" 2>/dev/null || echo none)" "$fonts"
}

# This Wine build does not look for its own fonts (fonts-wine) in its data folder, so the
# caption buttons (Marlett) and the dialog font would be missing; the template gets them in
# C:\windows\Fonts, where every Wine looks.
_wine_template_fonts() {
  local dir="$1/drive_c/windows/Fonts" f
  mkdir -p "$dir"
  for f in /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon; do
    [ -e "$f" ] && cp "$f" "$dir/"
  done
  return 0
}

# Registry settings every run needs, applied once to the template.
_wine_template_reg() {
  cat <<EOF
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]
"Default"="$E2E_SCREEN"

[HKEY_CURRENT_USER\\Software\\Wine\\DllOverrides]
"winemenubuilder.exe"=""
EOF
}

# Writes text (UTF-8) as a .reg file that Wine's regedit reads: UTF-16LE with a BOM, so
# that names and data outside ASCII survive whatever the ANSI code page is.
wine_write_reg_file() {
  local out="$1"
  { printf '\xff\xfe'; sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE; } >"$out"
}

# Imports a .reg file (as written by wine_write_reg_file) into $WINEPREFIX and shuts the
# prefix down again, so that the next program starts Wine's services afresh and they read
# the new values (the drive types among them).
wine_import_reg() {
  local file="$1"
  wine regedit /S "$(wine_path "$file")" >/dev/null 2>&1 ||
    e2e_die "regedit could not import $file into $WINEPREFIX"
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}

# Makes the template prefix $1 unless an up-to-date one exists. Safe to call from parallel
# runs: one makes it, the others wait for the lock and then find it made.
wine_make_template() {
  local tpl lock t0
  tpl="$(realpath -m "$1")"
  lock="$tpl.lock"
  mkdir -p "$(dirname "$tpl")"
  exec {lockfd}>"$lock"
  flock -w 600 "$lockfd" || e2e_die "timed out waiting for $lock"
  if [ -f "$tpl/.e2e-stamp" ] && [ "$(cat "$tpl/.e2e-stamp")" = "$(wine_template_stamp)" ]; then
    exec {lockfd}>&-
    return 0
  fi
  t0=$(date +%s%N)
  e2e_log "making the Wine template prefix $tpl"
  local tmp="$tpl.new"
  rm -rf "$tmp" "$tpl"
  (
    export WINEPREFIX="$tmp"
    unset DISPLAY
    timeout -k 10 300 wineboot -i >"$tpl.log" 2>&1 ||
      e2e_die "wineboot -i failed for $tmp (log: $tpl.log)"
    timeout -k 10 60 wineserver -w || true
    _wine_template_fonts "$tmp"
    _wine_template_reg | wine_write_reg_file "$tmp/e2e-template.reg"
    wine_import_reg "$tmp/e2e-template.reg"
    rm -f "$tmp/e2e-template.reg"
    [ -f "$tmp/system.reg" ] && [ -d "$tmp/drive_c/windows/system32" ] ||
      e2e_die "wineboot left no usable prefix in $tmp (log: $tpl.log)"
    wine_forget_server_dir "$tmp"
  )
  wine_template_stamp >"$tmp/.e2e-stamp"
  mv "$tmp" "$tpl"
  e2e_log "template ready in $((($(date +%s%N) - t0) / 1000000)) ms"
  exec {lockfd}>&-
}

# This Wine keeps its server socket in a private folder under /tmp whose name it stores in
# the prefix; a copy must not share it, and it is removed with the prefix.
wine_forget_server_dir() {
  local prefix="$1" dir
  [ -f "$prefix/wineserver" ] || return 0
  dir="$(cat "$prefix/wineserver" 2>/dev/null || true)"
  case "$dir" in
    wine-?*) rm -rf "${TMPDIR:-/tmp}/$dir" ;;
  esac
  rm -f "$prefix/wineserver"
}

# Copies the template $1 to a new prefix $2. Wine's own binaries under C:\windows are never
# written by a run, so they are hard links (a copy of all of them costs seconds and half a
# gigabyte); everything a run may change is a real copy. E2E_PREFIX_COPY=full copies all.
wine_copy_prefix() {
  local tpl dst="$2" mode="${E2E_PREFIX_COPY:-link}"
  [ -f "$1/.e2e-stamp" ] || e2e_die "no template prefix in $1 (make it with make-template.sh)"
  tpl="$(realpath "$1")"
  # Shared lock: a template being remade is never copied half-way.
  exec {copylock}>"$tpl.lock"
  flock -s -w 600 "$copylock" || e2e_die "timed out waiting for $tpl.lock"
  rm -rf "$dst"
  mkdir -p "$dst"
  if [ "$mode" != full ] && ! cp -a --link "$tpl/drive_c" "$dst/" 2>/dev/null; then
    e2e_log "cannot link $dst to $tpl (another file system?); copying instead"
    rm -rf "$dst"
    mkdir -p "$dst"
    mode=full
  fi
  if [ "$mode" = full ]; then
    cp -a "$tpl/." "$dst/"
  else
    # Replace the links by copies for everything but the binaries of C:\windows.
    (
      cd "$dst/drive_c"
      find . -type f ! \( -path './windows/*' -a \( -iname '*.dll' -o -iname '*.exe' -o \
        -iname '*.drv' -o -iname '*.sys' -o -iname '*.ocx' -o -iname '*.cpl' -o \
        -iname '*.acm' -o -iname '*.nls' -o -iname '*.vxd' -o -iname '*.ax' -o \
        -iname '*.tlb' -o -iname '*.ds' -o -iname '*.msstyles' -o -iname '*.ttf' -o \
        -iname '*.fon' \) \) -print0 |
        while IFS= read -r -d '' f; do
          cp --remove-destination "$tpl/drive_c/$f" "$f" || exit 1
        done
    ) || e2e_die "could not copy the template $tpl to $dst"
    cp -a "$tpl"/*.reg "$tpl/dosdevices" "$tpl/.update-timestamp" "$dst/"
  fi
  rm -f "$dst/wineserver" "$dst/.e2e-stamp"
  exec {copylock}>&-
}

# Stops every Wine process of $WINEPREFIX and its wineserver; quiet when none runs.
wine_stop() {
  [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ] || return 0
  timeout -k 2 10 wineserver -k >/dev/null 2>&1 || true
  timeout -k 2 10 wineserver -w >/dev/null 2>&1 || true
}

# Starts a private X server and exports DISPLAY. The server picks a free display number
# itself (-displayfd), so parallel runs never race for one.
xvfb_start() {
  local log="${1:-/dev/null}" fifo display=""
  e2e_require Xvfb
  fifo="$(mktemp -u "${TMPDIR:-/tmp}/e2e-xvfb.XXXXXX")"
  mkfifo "$fifo"
  "${E2E_XVFB:-Xvfb}" -displayfd 3 -nolisten tcp -noreset -screen 0 "${E2E_SCREEN}x24" \
    3>"$fifo" >"$log" 2>&1 &
  E2E_XVFB_PID=$!
  # Reading blocks until the server has written its number or has died.
  read -r -t 20 display <"$fifo" || true
  rm -f "$fifo"
  if [ -z "$display" ] || ! kill -0 "$E2E_XVFB_PID" 2>/dev/null; then
    e2e_log "Xvfb did not start; its log:"
    cat "$log" >&2 2>/dev/null || true
    E2E_XVFB_PID=""
    e2e_die "no X display"
  fi
  export DISPLAY=":$display"
  e2e_log "Xvfb pid $E2E_XVFB_PID on display $DISPLAY"
}

xvfb_stop() {
  if [ -n "${E2E_XVFB_PID:-}" ]; then
    kill "$E2E_XVFB_PID" 2>/dev/null || true
    wait "$E2E_XVFB_PID" 2>/dev/null || true
    E2E_XVFB_PID=""
  fi
}

# Uses the user's display when there is one that answers (a demo to watch), else starts a
# private X server as xvfb_start does.
e2e_use_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    e2e_log "using the display $DISPLAY"
    return 0
  fi
  xvfb_start "$@"
}

# Saves the whole X display, or the top-level X window named $2, as a PNG.
e2e_screenshot() {
  local out="$1" name="${2:-}" id
  if [ -z "$name" ]; then
    import -display "$DISPLAY" -window root "$out"
  else
    id="$(xwininfo -display "$DISPLAY" -root -tree | awk -v n="\"$name\":" 'index($0, n) {print $1; exit}')"
    [ -n "$id" ] || {
      e2e_log "no X window named '$name'"
      return 1
    }
    import -display "$DISPLAY" -window "$id" "$out"
  fi
}

# Converts the BMP screenshots that the driver wrote in $1 to PNG, keeping the names.
e2e_bmp_to_png() {
  local f
  for f in "$1"/*.bmp; do
    [ -e "$f" ] || continue
    convert "$f" "${f%.bmp}.png" && rm -f "$f"
  done
}

# Runs a command with a hard time limit; on failure says what failed and why.
run_bounded() {
  local secs="$1" rc=0
  shift
  timeout -k 5 "$secs" "$@" || rc=$?
  case $rc in
    0) ;;
    124 | 137) e2e_log "TIMEOUT: $1 still ran after ${secs} s and was stopped" ;;
    *) e2e_log "FAILED (exit code $rc): $*" ;;
  esac
  return $rc
}

# Checks that a glibc locale exists (Wine takes its ANSI code page from it, and falls back
# to 1252 without a word when it is missing).
e2e_require_locale() {
  local want="$1" norm
  norm="$(printf '%s' "$want" | tr 'A-Z' 'a-z' | sed 's/utf-8/utf8/')"
  if ! locale -a 2>/dev/null | tr 'A-Z' 'a-z' | grep -qx "$norm"; then
    e2e_die "the locale $want is not installed (add it to /etc/locale.gen and run locale-gen; scripts/deps.sh does)"
  fi
}

# ---- staging a prefix before the program runs -------------------------------------------
# Used by scenario set-up scripts. Registry values are collected in $E2E_STAGED_REG and
# imported all at once before the driver starts.

# wine_stage_reg KEY NAME TYPE DATA: TYPE is sz or dword; KEY like HKCU\Software\Foo.
# NAME @ is the key's default value.
wine_stage_reg() {
  local key="$1" name="$2" type="$3" data="$4" line
  : "${E2E_STAGED_REG:?no staging file; call from a set-up script}"
  key="${key/#HKCU\\/HKEY_CURRENT_USER\\}"
  key="${key/#HKLM\\/HKEY_LOCAL_MACHINE\\}"
  if [ "$name" = @ ]; then name='@'; else name="\"$(_reg_escape "$name")\""; fi
  case "$type" in
    sz) line="$name=\"$(_reg_escape "$data")\"" ;;
    dword) line="$name=dword:$(printf '%08x' "$data")" ;;
    *) e2e_die "wine_stage_reg: type must be sz or dword, not $type" ;;
  esac
  printf '\n[%s]\n%s\n' "$key" "$line" >>"$E2E_STAGED_REG"
}

# Deletes a registry key (and what is under it) before the program runs.
wine_stage_reg_delete_key() {
  local key="$1"
  key="${key/#HKCU\\/HKEY_CURRENT_USER\\}"
  key="${key/#HKLM\\/HKEY_LOCAL_MACHINE\\}"
  printf '\n[-%s]\n' "$key" >>"$E2E_STAGED_REG"
}

_reg_escape() {
  local s="${1//\\/\\\\}"
  printf '%s' "${s//\"/\\\"}"
}

# wine_stage_drive LETTER UNIX_DIR [TYPE]: drive LETTER: shows UNIX_DIR; TYPE is one of
# hd, floppy (a removable drive), cdrom, network. Wine reads the type when it starts.
wine_stage_drive() {
  local letter dir="$2" type="${3:-hd}"
  letter="$(printf '%s' "$1" | tr 'A-Z' 'a-z')"
  case "$type" in hd | floppy | cdrom | network) ;; *) e2e_die "unknown drive type $type" ;; esac
  mkdir -p "$dir"
  ln -sfn "$(realpath "$dir")" "$WINEPREFIX/dosdevices/$letter:"
  wine_stage_reg 'HKLM\Software\Wine\Drives' "$letter:" sz "$type"
}

# Removes a drive letter from the prefix.
wine_stage_no_drive() {
  local letter
  letter="$(printf '%s' "$1" | tr 'A-Z' 'a-z')"
  rm -f "$WINEPREFIX/dosdevices/$letter:" "$WINEPREFIX/dosdevices/$letter::"
}

# The Unix folder behind C:\ of the prefix, for set-up scripts that place files.
wine_c_drive() { printf '%s/drive_c' "$WINEPREFIX"; }
