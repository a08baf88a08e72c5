# shellcheck shell=bash
# Set-up of the drive watch: the host in its usual folder, and a folder to be plugged in as
# drive R: while the wizard runs, holding the same Program Files\Veloquin path.
# shellcheck source=stage-lib.sh
source "$E2E_SCENARIO_DIR/stage-lib.sh"
suite_install_default_host
mkdir -p "$E2E_OUT_DIR/stick/Program Files/Veloquin"
