#!/usr/bin/env bash
# The Debian packages as a user gets them: "make package" builds them, they
# are unpacked into a temporary root (dpkg-deb -x), and what is installed
# is checked from there.
#
#   package_test.sh SOURCE_DIR BUILD_DIR STEP
#
# STEP build: make package, then unpack every .deb into BUILD_DIR/package-root
# (the other steps need it). demo: the unpacked wizard-cli, started through
# its /usr/bin link, updates a simulated modem with a plug-in, and nothing is
# written below the root. manpages: the man pages render without a warning,
# and wizard-cli(1) holds every command's help word for word. completion:
# the bash completion loads and completes. lint: lintian finds no error;
# the desktop entry and the metainfo validate.
set -euo pipefail

source_dir=$1
build_dir=$2
step=$3
root=$build_dir/package-root
package=modem-firmware-wizard
bin=$root/usr/bin

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

case $step in
build)
    rm -rf "$build_dir/packages" "$root"
    make -C "$source_dir" package BUILD="$build_dir" >"$build_dir/package-build.log" 2>&1 ||
        { tail -n 30 "$build_dir/package-build.log"; fail "make package"; }
    debs=("$build_dir"/packages/*.deb)
    [[ -e ${debs[0]} ]] || fail "make package made no .deb"
    mkdir -p "$root"
    for deb in "${debs[@]}"; do
        echo "$(basename "$deb"): $(dpkg-deb -f "$deb" Depends)"
        dpkg-deb -x "$deb" "$root"
    done
    [[ $(readlink "$bin/wizard-cli") == ../lib/$package/wizard-cli ]] ||
        fail "/usr/bin/wizard-cli is not a link into the program directory"
    [[ $(readlink "$root/usr/lib/$package/Wizard.inf") == /etc/$package/Wizard.inf ]] ||
        fail "Wizard.inf in the program directory is not a link to /etc/$package/Wizard.inf"
    dpkg-deb --ctrl-tarfile "$build_dir/packages/${package}_"*.deb | tar -xO ./conffiles |
        grep -qx "/etc/$package/Wizard.inf" || fail "Wizard.inf is not a conffile"
    ;;

demo)
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    touch "$work/stamp"
    sleep 1
    # From another directory, as a user runs it; in German, which needs the
    # catalogues of the program and of the plug-in beside them.
    out=$(cd "$work" && TMPDIR=$work LANGUAGE=de PATH=$bin:$PATH \
        wizard-cli demo --model "ORVA 56K Voice" --quiet 2>&1) || { echo "$out"; fail "demo"; }
    echo "$out"
    grep -q "received the firmware byte for byte" <<<"$out" || fail "firmware not intact"
    grep -q "survived the update byte for byte" <<<"$out" || fail "stored files not kept"
    grep -q "Übertragung wird vorbereitet" <<<"$out" || fail "the wizard's German texts"
    grep -q "Die Dateien werden gesichert" <<<"$out" || fail "the plug-in's German texts"
    changed=$(find "$root" -newer "$work/stamp")
    [[ -z $changed ]] || fail "written below the installed tree at run time: $changed"
    ;;

manpages)
    for page in "$root"/usr/share/man/man1/*.1.gz; do
        warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 \
            >/dev/null) || fail "man cannot render $page"
        [[ -z $warnings ]] || fail "$(basename "$page"): $warnings"
        echo "$(basename "$page") renders without warnings"
    done
    # Lines joined and spaces collapsed, so that only the words compare.
    flat() { tr -s ' \n' '  '; }
    manual=$(LC_ALL=C MANWIDTH=2000 man -l "$root/usr/share/man/man1/wizard-cli.1.gz" 2>/dev/null | flat)
    commands=$(PATH=$bin:$PATH wizard-cli help | sed -n 's/^  \([a-z][a-z0-9-]*\) .*/\1/p')
    [[ -n $commands ]] || fail "wizard-cli help lists no commands"
    for command in $commands; do
        help=$(PATH=$bin:$PATH wizard-cli help "$command" | tail -n +2 | flat)
        [[ $manual == *"${help# }"* ]] || fail "wizard-cli(1) does not hold 'wizard-cli help $command':$help"
    done
    echo "wizard-cli(1) holds the help of: " $commands
    ;;

completion)
    examples=$root/usr/share/doc/$package/examples
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    printf '[Common]\nComList=OpenComOneToNine\n[X]\n' >"$work/fixed.inf"
    complete_line() {
        PATH=$bin:$PATH bash --norc --noprofile -c '
            [[ -r /usr/share/bash-completion/bash_completion ]] &&
                source /usr/share/bash-completion/bash_completion
            source "$1" || exit 3
            shift
            COMP_LINE=$*
            COMP_POINT=${#COMP_LINE}
            read -ra COMP_WORDS <<<"$COMP_LINE"
            [[ $COMP_LINE == *" " ]] && COMP_WORDS+=("")
            COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
            _wizard_cli 2>/dev/null
            printf "%s\n" "${COMPREPLY[@]}"' \
            - "$root/usr/share/bash-completion/completions/wizard-cli" "$@"
    }
    expect() {
        local line=$1 want=$2 got
        got=$(complete_line "$line" | sort | paste -sd '|' -)
        [[ $got == "$want" ]] || fail "'$line' completes to '$got', not '$want'"
        echo "'$line' -> $got"
    }
    expect "wizard-cli up" "update|upload"
    expect "wizard-cli upd" "update"
    expect "wizard-cli update --po" "--port|--ports"
    expect "wizard-cli help xm" "xmodem-recv|xmodem-send"
    expect "wizard-cli update --config $examples/Wizard.inf --model ORVA" \
        "ORVA 56K Serial|ORVA 56K USB"
    expect "wizard-cli update --config $work/fixed.inf --port COM" \
        "COM1|COM2|COM3|COM4|COM5|COM6|COM7|COM8|COM9"
    ;;

lint)
    lintian --fail-on error --display-level '>=warning' "$build_dir"/packages/*.deb 2>&1 |
        grep -v 'running with root privileges' || true
    lintian --fail-on error "$build_dir"/packages/*.deb >/dev/null 2>&1 || fail "lintian reports errors"
    desktop-file-validate "$root"/usr/share/applications/*.desktop
    appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml
    ;;

*)
    fail "unknown step $step"
    ;;
esac
