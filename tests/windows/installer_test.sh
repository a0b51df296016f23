#!/usr/bin/env bash
# ModemWizard-Setup.exe as a Windows user meets it, under wine, in a wine
# prefix made for this test alone: the silent installation into the folder
# /D names and again over it, the installed wizard-cli.exe updating the demo's simulated modem
# with the installed plug-in and texts, then the silent uninstallation,
# after which nothing the installer wrote is left.
#
#   installer_test.sh SETUP LINUX_WIZARD_CLI VERSION WITH_GUI WORK_DIR
#
# SETUP is the installer, LINUX_WIZARD_CLI the Linux build's wizard-cli
# (its "demo --serve" plays the modem on the pseudo-terminal the prefix
# maps to COM5), VERSION the project's version, WITH_GUI 1 when the
# installer carries Wizard.exe, WORK_DIR the directory, made anew and
# removed at the end, of the prefix (some 700 MB) and the demo's files.
# WINELOADER and WINESERVER name wine.
set -euo pipefail

setup=$1
linux_cli=$2
version=$3
with_gui=$4
work=$5
here=$(cd "$(dirname "$0")" && pwd)
prefix_tool=$here/../../tools/wine-prefix.sh
export WINEDEBUG=-all
export WINELOADER=${WINELOADER:-$(command -v wine64 || echo /usr/lib/wine/wine64)}

rm -rf "$work"
mkdir -p "$work"
export WINEPREFIX=$work/prefix
serve=
cleanup() {
    if [[ -n $serve ]]; then
        kill "$serve" 2>/dev/null || true
        wait "$serve" 2>/dev/null || true
    fi
    "$prefix_tool" stop "$WINEPREFIX" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# The prefix's files outside the user profile (where the programs keep
# their own data, and where the uninstaller runs from a copy of itself).
listing() {
    (cd "$WINEPREFIX/drive_c" && find . -path ./users -prune -o -print | sort)
}

started=$SECONDS
"$prefix_tool" start "$WINEPREFIX" COM5 "$work/com5" >/dev/null
echo "fresh wine prefix in $((SECONDS - started)) s"
listing >"$work/before.txt"

folder_windows='C:\ModemWizard'
folder=$WINEPREFIX/drive_c/ModemWizard
menu=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Modem\ Firmware\ Wizard
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ModemFirmwareWizard'

# ---- silent installation ---------------------------------------------------
"$WINELOADER" "$setup" /S "/D=$folder_windows" || fail "the installer ended with $?"
for file in wizard-cli.exe Sarnet_Plugin.dll Flinta_Plugin.dll Wizard.inf Uninstall.exe \
    locale/de/LC_MESSAGES/wizard.mo locale/de/LC_MESSAGES/sarnet_plugin.mo; do
    [[ -f $folder/$file ]] || fail "$file is not in $folder_windows"
done
shortcuts=("Uninstall Modem Firmware Wizard.lnk")
if [[ $with_gui == 1 ]]; then
    [[ -f $folder/Wizard.exe ]] || fail "Wizard.exe is not in $folder_windows"
    shortcuts+=("Modem Firmware Wizard.lnk")
fi
[[ $(cd "$menu" && ls) == "$(printf '%s\n' "${shortcuts[@]}" | sort)" ]] ||
    fail "the Start menu holds $(ls "$menu" | tr '\n' ',') instead of ${shortcuts[*]}"
# Each shortcut starts its program in the installed folder.
for shortcut in "${shortcuts[@]}"; do
    program=Uninstall.exe
    [[ $shortcut == Uninstall* ]] || program=Wizard.exe
    grep -qaF "$folder_windows\\$program" "$menu/$shortcut" ||
        fail "$shortcut does not start $folder_windows\\$program"
done
# reg query lines: "    NAME    TYPE    DATA", the spaces squeezed here.
entry=$("$WINELOADER" reg query "$key" </dev/null | tr -d '\r' | tr -s ' ') ||
    fail "no Add/Remove Programs entry"
for value in "DisplayName REG_SZ Modem Firmware Wizard" "DisplayVersion REG_SZ $version" \
    "UninstallString REG_SZ \"$folder_windows\\Uninstall.exe\"" \
    "QuietUninstallString REG_SZ \"$folder_windows\\Uninstall.exe\" /S"; do
    grep -qxF " $value" <<<"$entry" || fail "the entry lacks \"$value\": $entry"
done
echo "installed into $folder_windows; Start menu: ${shortcuts[*]}"

# Installing again, as an upgrade does, goes into the same folder without
# /D and keeps the Wizard.inf a user adapted.
printf '[Common]\r\nComList=COM5\r\n' >"$folder/Wizard.inf"
"$WINELOADER" "$setup" /S || fail "installing again ended with $?"
[[ $(cat "$folder/Wizard.inf") == "$(printf '[Common]\r\nComList=COM5\r\n')" ]] ||
    fail "installing again replaced the adapted Wizard.inf"
[[ ! -e $WINEPREFIX/drive_c/Program\ Files/Modem\ Firmware\ Wizard ]] ||
    fail "installing again did not go into $folder_windows"

# Windows has no man: the installed program's help points to itself alone.
help=$("$WINELOADER" "$folder_windows\\wizard-cli.exe" help </dev/null | tr -d '\r') ||
    fail "wizard-cli.exe help"
grep -qx "wizard-cli help COMMAND shows what a command does and its options." <<<"$help" ||
    fail "help does not point to wizard-cli help COMMAND: $help"
if grep -q "man " <<<"$help"; then
    fail "help names a manual page, which Windows has not: $help"
fi

# ---- the installed wizard-cli.exe updates the demo's modem ----------------
# In German: the catalogues of the program and of the plug-in came along.
rm -f "$work/com5"
mkdir "$work/demo"
"$linux_cli" demo --model "ORVA 56K Voice" --serve "$work/demo" --link "$work/com5" \
    >"$work/serve.log" 2>&1 &
serve=$!
for _ in $(seq 100); do
    grep -q "until stopped" "$work/serve.log" 2>/dev/null && break
    sleep 0.1
done
grep -q "until stopped" "$work/serve.log" || { cat "$work/serve.log"; fail "the modem did not start"; }
started=$SECONDS
out=$(LANGUAGE=de "$WINELOADER" "$folder_windows\\wizard-cli.exe" demo --model "ORVA 56K Voice" \
    --size 16 --dir "Z:${work//\//\\}\\demo" --port COM5 2>&1 | tr -d '\r') || { echo "$out"; fail "demo"; }
grep -q "received the firmware byte for byte" <<<"$out" || { echo "$out"; fail "firmware not intact"; }
grep -q "survived the update byte for byte" <<<"$out" || { echo "$out"; fail "stored files lost"; }
grep -q "Die Firmware wird aktualisiert" <<<"$out" || { echo "$out"; fail "the wizard's German texts"; }
grep -q "Die Dateien werden gesichert" <<<"$out" || { echo "$out"; fail "the plug-in's German texts"; }
kill "$serve"
wait "$serve" 2>/dev/null || true
serve=
echo "the installed wizard-cli.exe updated the simulated modem in $((SECONDS - started)) s"

# ---- silent uninstallation -------------------------------------------------
# The uninstaller hands over to a copy of itself and returns at once; the
# program folder is the last thing that copy removes.
"$WINELOADER" "$folder_windows\\Uninstall.exe" /S || fail "the uninstaller ended with $?"
for _ in $(seq 300); do
    [[ -e $folder ]] || break
    sleep 0.1
done
[[ ! -e $folder ]] || fail "$folder_windows is still there: $(cd "$folder" && find . -type f)"
[[ ! -e $menu ]] || fail "the Start-menu folder is still there"
if "$WINELOADER" reg query "$key" </dev/null >/dev/null 2>&1; then
    fail "the Add/Remove Programs entry is still there"
fi
listing >"$work/after.txt"
diff "$work/before.txt" "$work/after.txt" || fail "the prefix is not as before the installation"
echo "uninstalled: nothing of the installation is left"
