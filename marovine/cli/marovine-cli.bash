# bash completion for marovine-cli

_marovine_cli() {
    local cur prev words cword
    _init_completion -n = || return

    local commands="settings album seq"
    local options="--help --version --home --doc --whole-site --update --retry-failed
        --fast --insecure --tick-ms --quiet --verbose --folder --directory-prefix
        --accept --level --depth --page-limit --jobs --timeout --retries --tries
        --retry-wait --waitretry --proxy --no-proxy --date-folder --no-date-folder
        --random-prefix --no-random-prefix --save-settings"

    # The word after --home is the program folder; find the command, if any.
    local i command="" home=()
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            --home) home=(--home "${words[i + 1]}"); ((i++)) ;;
            settings | album | seq) command=${words[i]}; break ;;
        esac
    done

    case $command in
        settings)
            local after=$((cword - i))
            if ((after == 1)); then
                COMPREPLY=($(compgen -W "get set list" -- "$cur"))
            elif ((after == 2)) && [[ ${words[i + 1]} == @(get|set) ]]; then
                # SECTION.KEY as the program knows them (names with blanks
                # are left to the user to quote).
                local IFS=$'\n'
                COMPREPLY=($(compgen -W "$(marovine-cli "${home[@]}" settings list 2>/dev/null |
                    sed -e 's/=.*//' -e '/ /d')
                    folder accept level depth page-limit jobs timeout retries retry-wait proxy" \
                    -- "$cur"))
            fi
            return
            ;;
        album)
            case $prev in
                --site) return ;;
                --folder) _filedir -d; return ;;
                --title | --random) return ;;
            esac
            if [[ $cur == -* ]]; then
                COMPREPLY=($(compgen -W "--site --folder --title --random" -- "$cur"))
            else
                _filedir -d
            fi
            return
            ;;
        seq)
            case $prev in
                --out) _filedir; return ;;
                --ext | --digits) return ;;
            esac
            COMPREPLY=($(compgen -W "--ext --digits --register --out" -- "$cur"))
            return
            ;;
    esac

    case $prev in
        --home | -P | --folder | --directory-prefix)
            _filedir -d
            return
            ;;
        --doc)
            _filedir mrv
            return
            ;;
        -l | --level)
            COMPREPLY=($(compgen -W "0 1 2 3" -- "$cur"))
            return
            ;;
        -j | --jobs)
            COMPREPLY=($(compgen -W "1 2 3 4 5 6 7 8 9 10" -- "$cur"))
            return
            ;;
        -A | --accept | --depth | --page-limit | -T | --timeout | -t | --retries | --tries | \
            --retry-wait | --waitretry | -x | --proxy | --tick-ms)
            return
            ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    else
        COMPREPLY=($(compgen -W "$commands" -- "$cur"))
    fi
} &&
    complete -F _marovine_cli marovine-cli
