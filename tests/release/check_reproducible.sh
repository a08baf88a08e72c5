#!/usr/bin/env bash
# check_reproducible.sh SOURCE WIN_BUILD PAYLOAD_BUILDER WORK
#
# Builds setup-unsigned.exe a second time, from a copy of the source tree in another folder
# into a new build folder, and fails unless it is byte for byte the one in WIN_BUILD. The
# copy holds the files git knows of or would add (tracked and untracked, not ignored), so it
# is the tree the first build was made from. hunspell.dll and the payload are built again as
# well; the payload's zopfli stream comes from the shared cache when the catalogue is equal.
# On a difference the script names the first differing file of the chain and the sections
# whose bytes differ.
set -euo pipefail
source_dir=$1 win=$2 builder=$3 work=$4

rm -rf "$work"
mkdir -p "$work/src"
(cd "$source_dir" && git ls-files -z --cached --others --exclude-standard |
  xargs -0 tar -cf - --no-recursion 2>/dev/null) | tar -xf - -C "$work/src"

cmake -S "$work/src" -B "$work/win" -DCMAKE_TOOLCHAIN_FILE="$work/src/cmake/mingw-i686.cmake" \
  -DPAYLOAD_BUILDER="$builder" >"$work/configure.log" 2>&1 ||
  { tail -n 30 "$work/configure.log"; exit 1; }
cmake --build "$work/win" --target setup_unsigned -j "$(nproc)" >"$work/build.log" 2>&1 ||
  { tail -n 30 "$work/build.log"; exit 1; }

first=$win/setup-unsigned.exe second=$work/win/setup-unsigned.exe
if cmp -s "$first" "$second"; then
  echo "setup-unsigned.exe is the same in both builds ($(stat -c %s "$first") bytes)"
  exit 0
fi

echo "setup-unsigned.exe differs between two builds of the same tree:" >&2
for file in hunspell.dll resources/payload.z; do
  if ! cmp -s "$win/$file" "$work/win/$file"; then echo "  $file differs as well" >&2; fi
done
# Each section's bytes, by name, in either file.
section_sums() {
  i686-w64-mingw32-objdump -h "$1" | awk '/^ +[0-9]+ /{print $2, $3, $6}' |
    while read -r name size offset; do
      echo "$name $(tail -c +$((16#$offset + 1)) "$1" | head -c $((16#$size)) | sha256sum)"
    done
}
diff <(section_sums "$first") <(section_sums "$second") | sed -n 's/^< \([^ ]*\) .*/  section \1 differs/p' >&2 || true
cmp "$first" "$second" | head -n 1 >&2 || true
exit 1
