#!/usr/bin/env bash
# run_extract_check.sh WIN_BUILD TEMPLATE OUT LISTING [TZ]: writes every entry of the real
# payload under Wine the way the setup does (extract_check.exe), then compares each file
# with the source the payload was built from.
set -euo pipefail
win_build=$1 template=$2 out=$3 listing=$4 tz=${5:-}
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
rc=0
run_bounded 120 wine "$win_build/e2e/extract_check.exe" "$(wine_path "$files")" | tee "$out/log.txt" || rc=$?
[ $rc -eq 0 ] || { echo "extract_check failed ($rc)"; exit 1; }
grep -q '^0 failures' "$out/log.txt" || { echo "extract_check did not report its checks"; exit 1; }

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
