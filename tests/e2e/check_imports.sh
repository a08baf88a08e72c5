#!/usr/bin/env bash
# Fails when a Windows PE file (EXE or DLL) imports a DLL outside an allowed list.
#
#   check_imports.sh FILE ALLOWED_DLL...
#
# DLL names compare case-insensitively (the linker writes "KERNEL32.dll", people write
# "kernel32.dll"). Prints the imports found; exits 0 when all are allowed, 1 naming each
# one that is not, 2 on a usage error or a file that cannot be read as a PE image.
# OBJDUMP overrides the objdump used (default: the mingw-w64 i686 one).
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 FILE ALLOWED_DLL..." >&2
  exit 2
fi
file=$1
shift
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}

if [ ! -f "$file" ]; then
  echo "check_imports: $file: no such file" >&2
  exit 2
fi
if ! command -v "$objdump" >/dev/null 2>&1; then
  echo "check_imports: $objdump not found (binutils-mingw-w64-i686)" >&2
  exit 2
fi

if ! dump=$("$objdump" -p "$file" 2>&1); then
  echo "check_imports: $objdump cannot read $file:" >&2
  echo "$dump" >&2
  exit 2
fi

# objdump does not list delay-loaded DLLs by name, and a DLL loaded late is loaded all the
# same: refuse a file that has a delay-import directory rather than pass it unchecked.
delay_entry='^Entry d[[:space:]]+[0-9a-fA-F]+[[:space:]]+0*[1-9a-fA-F][0-9a-fA-F]*[[:space:]]+Delay Import'
if grep -Eq "$delay_entry" <<<"$dump"; then
  echo "check_imports: $file has delay-loaded imports, which this check cannot list" >&2
  exit 2
fi

# Import table entries look like "\tDLL Name: KERNEL32.dll".
mapfile -t imports < <(
  sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*\(.*[^[:space:]]\)[[:space:]]*$/\1/p' <<<"$dump" |
    sort -u)

# Every program the mingw toolchain links imports at least KERNEL32; finding nothing means
# the dump was not understood, and that must not read as a pass.
if [ ${#imports[@]} -eq 0 ]; then
  echo "check_imports: no imported DLLs found in $file; is it a PE image?" >&2
  exit 2
fi

declare -A allowed=()
for name in "$@"; do
  allowed[${name,,}]=1
done

bad=()
for dll in "${imports[@]}"; do
  if [ -z "${allowed[${dll,,}]:-}" ]; then bad+=("$dll"); fi
done

echo "$file imports: ${imports[*]}"
if [ ${#bad[@]} -gt 0 ]; then
  for dll in "${bad[@]}"; do
    echo "check_imports: $file imports $dll, which is not allowed (allowed: $*)" >&2
  done
  exit 1
fi
echo "check_imports: all imports allowed"
