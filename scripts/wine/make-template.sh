#!/usr/bin/env bash
# Makes (or confirms) the Wine template prefix that every end-to-end run copies.
# Usage: make-template.sh <template folder>
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=wine-env.sh
source "$here/wine-env.sh"

[ $# -eq 1 ] || e2e_die "usage: make-template.sh <template folder>"
e2e_require wine wineserver wineboot flock iconv
wine_make_template "$1"
[ -f "$1/.e2e-stamp" ] || e2e_die "no template in $1"
echo "template: $1 ($(cat "$1/.e2e-stamp"))"
