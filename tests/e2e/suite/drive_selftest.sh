#!/usr/bin/env bash
# drive_selftest.sh WIN_BUILD TEMPLATE OUT: e2edrive.exe defines a drive on a folder with a
# marker file in a fresh prefix, sees it listed with its type and file, removes it and sees
# it gone; the scenarios that plug drives in and out rely on exactly that.
set -euo pipefail
win_build=$1 template=$2 out=$3
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../../scripts/wine/wine-env.sh
source "$here/../../../scripts/wine/wine-env.sh"
e2e_require wine

rm -rf "$out"
mkdir -p "$out/stick"
printf 'marker\n' >"$out/stick/marker.txt"
export WINEPREFIX="$out/prefix"
wine_copy_prefix "$template" "$WINEPREFIX"
trap 'wine_stop; wine_forget_server_dir "$WINEPREFIX"; rm -rf "$WINEPREFIX"' EXIT

# Once by Unix path, once by the Windows path of the same folder.
run_bounded 60 wine "$win_build/e2e/e2edrive.exe" selftest P "$out/stick" | tee "$out/unix.log"
run_bounded 60 wine "$win_build/e2e/e2edrive.exe" selftest Q "$(wine_path "$out/stick")" |
  tee "$out/windows.log"
for log in "$out/unix.log" "$out/windows.log"; do
  grep -q '^0 failures' "$log" || { echo "the drive tool did not report its checks ($log)"; exit 1; }
done
