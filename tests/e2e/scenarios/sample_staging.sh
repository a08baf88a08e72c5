# shellcheck shell=bash
# Set-up of the staging scenario, sourced by run-scenario.sh with the helpers of
# scripts/wine/wine-env.sh at hand: drive P: is a removable drive with one file on it, and
# the sample finds a Cyrillic greeting in the registry.
mkdir -p "$E2E_OUT_DIR/removable"
printf 'hello\n' >"$E2E_OUT_DIR/removable/hello.txt"
touch -d '2021-03-04 05:06:07.250' "$E2E_OUT_DIR/removable/hello.txt"
wine_stage_drive P "$E2E_OUT_DIR/removable" floppy
wine_stage_reg 'HKCU\Software\E2ESample' Greeting sz 'Здравей "свят"'
wine_stage_reg 'HKCU\Software\E2ESample' Count dword 7
