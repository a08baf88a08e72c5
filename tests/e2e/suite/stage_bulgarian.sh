# shellcheck shell=bash
# Set-up of the Bulgarian scenarios (run in bg_BG.UTF-8, ANSI code page 1251): the user's
# temporary folder has a Cyrillic name and holds an earlier run's leftovers; the host is
# installed in a Cyrillic folder on C:, remembered in the settings, and in another one on
# the removable drive P:.
# shellcheck source=stage-lib.sh
source "$E2E_SCENARIO_DIR/stage-lib.sh"
temp_dir="$(suite_user_dir)/Временни файлове"
mkdir -p "$temp_dir"
suite_plant_leftovers "$temp_dir"
temp_win="C:\\users\\$(suite_user_name)\\Временни файлове"
wine_stage_reg 'HKCU\Environment' TEMP sz "$temp_win"
wine_stage_reg 'HKCU\Environment' TMP sz "$temp_win"

suite_install_host "$(wine_c_drive)/Програми/Велоквин"
wine_stage_reg 'HKCU\Software\Veloquin Word Processor\Install' MAINDIR sz 'C:\Програми\Велоквин'
suite_make_hidden_folder

suite_install_host "$E2E_OUT_DIR/removable/Преносими/Велоквин"
wine_stage_drive P "$E2E_OUT_DIR/removable" floppy
