# bash completion for wizard-cli                           -*- shell-script -*-
#
# Everything comes from the program itself, so a new command or option
# completes without a change here: the commands from "wizard-cli help", a
# command's options from the usage line of "wizard-cli help COMMAND" (an
# option followed by an upper-case word takes a value), port names from
# "wizard-cli ports", model names from "wizard-cli models --names" (or
# "demo --list" for the demo's models).

_wizard_cli_usage()
{
    "$1" help "$2" 2>/dev/null | sed -n '1s/^Usage: [^ ]* [^ ]* *//p' | tr -d '[]|'
}

# The placeholder an option of a command takes ("" for a flag).
_wizard_cli_value_of()
{
    local word next= found= IFS=$' \t\n'
    for word in $(_wizard_cli_usage "$1" "$2"); do
        if [[ -n $found ]]; then
            [[ $word != -* && $word =~ ^[A-Z] ]] && next=$word
            break
        fi
        [[ $word == "$3" ]] && found=1
    done
    printf '%s' "$next"
}

_wizard_cli()
{
    local cur prev words cword
    if declare -F _init_completion >/dev/null; then
        _init_completion -n := || return
    else
        cur=${COMP_WORDS[COMP_CWORD]}
        prev=${COMP_WORDS[COMP_CWORD - 1]}
        words=("${COMP_WORDS[@]}")
        cword=$COMP_CWORD
    fi
    local program=${words[0]} command= config=() i
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            --trace) [[ -z $command ]] && ((i++)) ;;
            --config) config=(--config "${words[i + 1]}") ;;
            -*) ;;
            *) [[ -z $command ]] && command=${words[i]} ;;
        esac
    done

    local IFS=$'\n'
    if [[ -z $command ]]; then
        case $prev in
            --trace) compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -f -- "$cur")) ;;
            *)
                if [[ $cur == -* ]]; then
                    COMPREPLY=($(compgen -W $'--trace\n--help' -- "$cur"))
                else
                    COMPREPLY=($(compgen -W "$("$program" help 2>/dev/null |
                        sed -n 's/^  \([a-z][a-z0-9-]*\) .*/\1/p')" -- "$cur"))
                fi
                ;;
        esac
        return
    fi

    local value=
    [[ $prev == --* ]] && value=$(_wizard_cli_value_of "$program" "$command" "$prev")
    case $value in
        "") ;;
        DEV)
            compopt -o filenames 2>/dev/null
            COMPREPLY=($(compgen -W "$("$program" ports "${config[@]}" 2>/dev/null |
                awk '{print $1}')" -- "$cur"))
            declare -F __ltrim_colon_completions >/dev/null && __ltrim_colon_completions "$cur"
            return
            ;;
        DEV,*)
            # A list: complete its last element.
            local head=${cur%,*} last=${cur##*,}
            [[ $cur == *,* ]] && head+=, || head=
            COMPREPLY=($(compgen -P "$head" -W "$("$program" ports "${config[@]}" 2>/dev/null |
                awk '{print $1}')" -- "$last"))
            compopt -o nospace 2>/dev/null
            return
            ;;
        NAME)
            if [[ $prev == --model ]]; then
                local models
                if [[ $command == demo ]]; then
                    models=$("$program" demo --list 2>/dev/null | sed -n 's/^  \(.*\) - .*/\1/p')
                else
                    models=$("$program" models --names "${config[@]}" 2>/dev/null)
                fi
                compopt -o filenames 2>/dev/null
                COMPREPLY=($(compgen -W "$models" -- "$cur"))
            fi
            return
            ;;
        FILE)
            compopt -o filenames 2>/dev/null
            COMPREPLY=($(compgen -f -- "$cur"))
            return
            ;;
        *) return ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$(_wizard_cli_usage "$program" "$command" |
            tr ' ' '\n' | grep -- '^--')" -- "$cur"))
    elif [[ $command == help ]]; then
        COMPREPLY=($(compgen -W "$("$program" help 2>/dev/null |
            sed -n 's/^  \([a-z][a-z0-9-]*\) .*/\1/p')" -- "$cur"))
    elif [[ $(_wizard_cli_usage "$program" "$command") == *FILE* ]]; then
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -f -- "$cur"))
    fi
} &&
    complete -F _wizard_cli wizard-cli
