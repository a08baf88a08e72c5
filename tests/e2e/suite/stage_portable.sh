# shellcheck shell=bash
# Set-up of the portable installation: drive P: is a removable drive with the host in
# P:\Veloquin, which already has both spell-checking folders, a user dictionary with the
# user's own words and an outdated dictionary. The hidden folder on C: exists, so that a
# stamp written by mistake would show.
# shellcheck source=stage-lib.sh
source "$E2E_SCENARIO_DIR/stage-lib.sh"
stick="$E2E_OUT_DIR/removable"
suite_install_host "$stick/Veloquin"
mkdir -p "$stick/Veloquin/Spellcheck" "$stick/Veloquin/Orthographe"
printf 'моите думи\r\n' >"$stick/Veloquin/Spellcheck/userdicbg.tlx"
touch -d '2020-01-02 03:04:06' "$stick/Veloquin/Spellcheck/userdicbg.tlx"
printf 'old\r\n' >"$stick/Veloquin/Spellcheck/bg_BG.dic"
touch -d '2010-01-01 00:00:00' "$stick/Veloquin/Spellcheck/bg_BG.dic"
wine_stage_drive P "$stick" floppy
suite_make_hidden_folder
