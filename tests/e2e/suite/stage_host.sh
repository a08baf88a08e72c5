# shellcheck shell=bash
# Set-up of most scenarios: the host in its usual folder, C:\Program Files\Veloquin, the
# hidden folder that lets the install stamp be written, and leftovers of an earlier run in
# the user's temporary folder.
# shellcheck source=stage-lib.sh
source "$E2E_SCENARIO_DIR/stage-lib.sh"
suite_install_default_host
suite_make_hidden_folder
suite_plant_leftovers "$(suite_temp_dir)"
