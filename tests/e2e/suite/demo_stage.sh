# shellcheck shell=bash
# Set-up of the demo prefix (scripts/demo.sh): the stand-in host in its usual folder,
# C:\Program Files\Veloquin, and the host's hidden folder under C:\ProgramData so that the
# install stamp is written.
# shellcheck source=stage-lib.sh
source "$E2E_SCENARIO_DIR/stage-lib.sh"
suite_install_default_host
suite_make_hidden_folder
