# shellcheck shell=bash
# Set-up of the command-line scenario: the host in C:\My Host, a folder with a space in
# its name, and none in the default folder.
# shellcheck source=stage-lib.sh
source "$E2E_SCENARIO_DIR/stage-lib.sh"
suite_install_host "$(wine_c_drive)/My Host"
suite_make_hidden_folder
