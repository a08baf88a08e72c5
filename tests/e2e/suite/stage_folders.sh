# shellcheck shell=bash
# Set-up of the home-folder checks: the host in its usual folder, and a folder C:\Fake that
# holds a folder, not a file, named vqd.exe.
# shellcheck source=stage-lib.sh
source "$E2E_SCENARIO_DIR/stage-lib.sh"
suite_install_default_host
mkdir -p "$(wine_c_drive)/Fake/vqd.exe"
