# shellcheck shell=bash
# Set-up of the wizard's scenarios, sourced by run-scenario.sh with scripts/wine/wine-env.sh
# at hand: the stand-in host installed in its usual folder, C:\Program Files\Veloquin, and
# the host's folders under C:\ProgramData that a normal installation finds: the hidden
# folder (without it no install stamp is written) and, when WIZARD_SHARED_FOLDERS is set,
# both shared folders, "Spellcheck" and "Orthographe".
case "$E2E_WIN_BUILD" in
  [Zz]:\\*) win_build="${E2E_WIN_BUILD:2}" && win_build="${win_build//\\//}" ;;
  *) e2e_die "the Windows build is not on drive Z: $E2E_WIN_BUILD" ;;
esac
host="$win_build/e2e/host/vqd.exe"
[ -f "$host" ] || e2e_die "no stand-in host $host (build the Windows build)"
home="$(wine_c_drive)/Program Files/Veloquin"
mkdir -p "$home"
cp "$host" "$home/vqd.exe"
mkdir -p "$(wine_c_drive)/ProgramData/Veloquin/Hidden"
if [ -n "${WIZARD_SHARED_FOLDERS:-}" ]; then
  mkdir -p "$(wine_c_drive)/ProgramData/Veloquin/Public/Spellcheck" \
    "$(wine_c_drive)/ProgramData/Veloquin/Public/Orthographe"
fi
