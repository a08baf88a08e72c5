#!/usr/bin/env bash
# run.sh NATIVE_BUILD WIN_BUILD: every benchmark figure with its goal. The start-up, memory
# and size figures come from setup_bench (native); the extraction figure from the Wine probe
# extract_check.exe, which writes the seven add-on files with ExtractFile and with plain file
# writes in one Wine process.
set -euo pipefail
native=$1 win=$2

"$native/bench/setup_bench" "$win"

echo "extraction under Wine (the seven add-on files):"
if ! ctest --test-dir "$native" -R '^payload_extraction_wine$' >"$native/bench-extraction.log" 2>&1; then
  echo "  the Wine probe failed; see $native/bench-extraction.log" >&2
  exit 1
fi
line=$(grep '^seven add-on files' "$native/probes/payload_extraction_wine/log.txt")
echo "  ${line#seven add-on files, }"
ratio=${line##* ratio }
verdict=$(awk -v r="$ratio" 'BEGIN { print (r <= 1.5 ? "met" : "MISSED") }')
echo "  ExtractFile / plain writes  $ratio   goal <= 1.5: $verdict"
