# shellcheck shell=bash
# Staging helpers shared by the set-up scripts of the setup's scenarios (and by the demo).
# Sourced after scripts/wine/wine-env.sh, with WINEPREFIX set and E2E_STAGED_REG open for
# registry values; E2E_WIN_BUILD names the Windows build as Wine sees it (Z:\...).

# The Unix path behind a path on Wine's Z: drive (Z:\tmp\x -> /tmp/x).
suite_unix_path() {
  local p="$1"
  case "$p" in
    [Zz]:\\*) p="${p:2}" ;;
    *) e2e_die "not a path on drive Z: $p" ;;
  esac
  printf '%s' "${p//\\//}"
}

# The Windows build folder as a Unix path.
suite_win_build() {
  : "${E2E_WIN_BUILD:?E2E_WIN_BUILD is not set}"
  suite_unix_path "$E2E_WIN_BUILD"
}

# The Unix folder behind C:\users\<the prefix's user>.
suite_user_dir() {
  local d
  for d in "$WINEPREFIX"/drive_c/users/*/; do
    d="${d%/}"
    [ "$(basename "$d")" = Public ] && continue
    printf '%s' "$d"
    return 0
  done
  e2e_die "no user folder in $WINEPREFIX/drive_c/users"
}

# The user's name in the prefix (the folder name under C:\users).
suite_user_name() { basename "$(suite_user_dir)"; }

# suite_install_host UNIX_FOLDER: a stand-in host installation, vqd.exe, in that folder.
suite_install_host() {
  local dir="$1" host
  host="$(suite_win_build)/e2e/host/vqd.exe"
  [ -f "$host" ] || e2e_die "no stand-in host $host (build the Windows build)"
  mkdir -p "$dir"
  cp "$host" "$dir/vqd.exe"
}

# The host's usual installation, C:\Program Files\Veloquin\vqd.exe.
suite_install_default_host() {
  suite_install_host "$(wine_c_drive)/Program Files/Veloquin"
}

# The host's hidden folder under C:\ProgramData, without which no install stamp is written.
suite_make_hidden_folder() {
  mkdir -p "$(wine_c_drive)/ProgramData/Veloquin/Hidden"
}

# suite_plant_leftovers UNIX_TEMP_FOLDER: what an earlier run that died would have left in
# the temporary folder (a file and a folder under the setup's prefix), and a file of
# another program whose name differs only in letter case.
suite_plant_leftovers() {
  local dir="$1"
  mkdir -p "$dir/~VeloquinBulgarianSpellcheckerSetupOld"
  printf 'left over\r\n' >"$dir/~VeloquinBulgarianSpellcheckerSetup7.tmp"
  printf 'left over\r\n' >"$dir/~VeloquinBulgarianSpellcheckerSetupOld/inner.txt"
  printf 'not ours\r\n' >"$dir/~veloquinbulgarianspellcheckersetup8.tmp"
}

# The user's temporary folder of the template prefix (C:\users\<user>\Temp).
suite_temp_dir() { printf '%s/Temp' "$(suite_user_dir)"; }
