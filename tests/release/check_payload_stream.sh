#!/usr/bin/env bash
# check_payload_stream.sh EXE: the FILES resource is one zlib stream at maximum compression.
set -euo pipefail
exe=$1
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
wrestool -x --raw --type=FILES --name=FILES "$exe" > "$tmp/files.z"
head=$(od -An -tx1 -N2 "$tmp/files.z" | tr -d ' \n')
[ "$head" = "78da" ] || { echo "payload header is $head, expected 78da" >&2; exit 1; }
python3 -c 'import sys,zlib; d=zlib.decompress(open(sys.argv[1],"rb").read()); print(len(d), "bytes inflated")' "$tmp/files.z"
