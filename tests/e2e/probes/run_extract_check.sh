#!/usr/bin/env bash
# run_extract_check.sh WIN_BUILD TEMPLATE OUT LISTING [TZ] [bg]: writes every entry of the
# real payload under Wine the way the setup does (extract_check.exe), then compares each file
# with the source the payload was built from. With "bg", Wine runs in a Bulgarian locale
# (ANSI code page 1251) and the files and a temporary file go into Cyrillic folders.
set -euo pipefail
win_build=$1 template=$2 out=$3 listing=$4 tz=${5:-} locale=${6:-}
if [ "$locale" = bg ]; then export E2E_LOCALE=bg_BG.UTF-8; fi
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../../scripts/wine/wine-env.sh
source "$here/../../../scripts/wine/wine-env.sh"
e2e_require wine cmp

rm -rf "$out"
mkdir -p "$out"
export WINEPREFIX="$out/prefix"
wine_copy_prefix "$template" "$WINEPREFIX"
trap 'wine_stop; wine_forget_server_dir "$WINEPREFIX"; rm -rf "$WINEPREFIX"' EXIT
[ -n "$tz" ] && export TZ="$tz"

files="$out/files"
args=("$(wine_path "$files")")
if [ "$locale" = bg ]; then
  e2e_require_locale bg_BG.UTF-8
  files="$out/Инсталирани файлове"
  args=("$(wine_path "$files")" "$(wine_path "$out/Временни")")
fi
rc=0
run_bounded 120 wine "$win_build/e2e/extract_check.exe" "${args[@]}" | tee "$out/log.txt" || rc=$?
[ $rc -eq 0 ] || { echo "extract_check failed ($rc)"; exit 1; }
LC_ALL=C grep -aq '^0 failures' "$out/log.txt" || { echo "extract_check did not report its checks"; exit 1; }
if [ "$locale" = bg ]; then
  tr -d '\r' < "$out/log.txt" | LC_ALL=C grep -aq '^temporary file .*, swept$' || { echo "no temporary file check"; exit 1; }
  [ -z "$(ls -A "$out/Временни")" ] || { echo "temporary folder not swept"; exit 1; }
fi

# Every installed file equals the source it was built from.
listing_dir=$(dirname "$listing")
compared=0
while IFS=$'\t' read -r name _ source; do
  case "$name" in '' | '#'*) continue ;; esac
  source=${source//\$\{HUNSPELL_DLL\}/$win_build/hunspell.dll}
  [[ "$source" = /* ]] || source="$listing_dir/$source"
  cmp "$source" "$files/$name" || { echo "$name differs from $source"; exit 1; }
  compared=$((compared + 1))
done < <(tr -s '\t' < "$listing")
echo "$compared files equal their sources"
[ "$compared" -ge 10 ] || { echo "too few entries compared"; exit 1; }
