#!/usr/bin/env bash
# check_resources.sh EXE: the program carries exactly the resources it reads, each in the
# language it is looked up in: everything language neutral except the English icon group.
set -euo pipefail
exe=$1
listing=$(wrestool -l "$exe")
echo "$listing"
fail=0
expect() {  # type name language
  if ! grep -qE -- "--type=$1 --name=$2 --language=$3( |\$)" <<<"$listing"; then
    echo "missing resource: type $1, name $2, language $3" >&2
    fail=1
  fi
}
expect "'FILES'" "'FILES'" 0
expect 10 "'TMAINDLGFORM'" 0
for b in OPENFOLDER CLOSEDFOLDER FIXEDDRIVE REMOVABLEDRIVE; do expect 2 "'$b'" 0; done
expect 24 1 0
expect 14 1 1033
# Four icon images in the group, English like their group.
icons=$(grep -cE -- "--type=3 --name=[0-9]+ --language=1033" <<<"$listing" || true)
[ "$icons" = 4 ] || { echo "expected 4 icon images, found $icons" >&2; fail=1; }
exit $fail
