#!/usr/bin/env bash
# clang_tidy.sh SOURCE NATIVE_BUILD [WIN_BUILD]
#
# clang-tidy with the repository's .clang-tidy on every source file of src/: the portable
# code and the simulated machine with the native build's compile commands, src/os/win32 and
# src/ui/win32 with the Windows build's, parsed for the mingw target with its C++ headers.
# Any finding fails. Each file's findings are printed with the file's name.
set -euo pipefail
source_dir=$1 native=$2 win=${3:-}
tidy=$(command -v run-clang-tidy-14 || command -v run-clang-tidy)
jobs=$(nproc)

status=0
"$tidy" -p "$native" -j "$jobs" -quiet "$source_dir/src/" >"$native/clang-tidy.log" 2>&1 ||
  status=1

if [ -n "$win" ]; then
  gcc_cxx=$(echo /usr/lib/gcc/i686-w64-mingw32/*-win32/include/c++)
  "$tidy" -p "$win" -j "$jobs" -quiet -extra-arg=--target=i686-w64-mingw32 \
    -extra-arg=-isystem"$gcc_cxx" -extra-arg=-isystem"$gcc_cxx/i686-w64-mingw32" \
    -extra-arg=-isystem"$gcc_cxx/backward" \
    "$source_dir/src/os/win32/" "$source_dir/src/ui/win32/" >>"$native/clang-tidy.log" 2>&1 ||
    status=1
fi

# run-clang-tidy colours its output and prints each command; keep the findings.
sed 's/\x1b\[[0-9;]*m//g' "$native/clang-tidy.log" |
  grep -E -A3 '(warning|error): ' | grep -v '^clang-tidy' || true
if [ $status -ne 0 ]; then
  echo "clang-tidy found faults (whole log: $native/clang-tidy.log)" >&2
  exit 1
fi
echo "clang-tidy: no findings in src/"
