#!/usr/bin/env bash
# The bash completion and the manual page of ostrel-cli against the
# program's own usage: every command and every option of each command is
# offered and documented, option values and input files are completed.
#   check_completion.sh OSTREL_CLI COMPLETION_FILE MANUAL_PAGE
cli=$1 completion=$2 manpage=$3
library=/usr/share/bash-completion/bash_completion
if [ ! -r "$library" ]; then
    echo "bash-completion is not installed (scripts/setup.sh installs it)"
    exit 1
fi
# shellcheck source=/dev/null
source "$library"
# shellcheck source=/dev/null
source "$completion"

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# The words offered for the last of the words given, sorted, on one line.
offered() {
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMP_LINE="$*"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _ostrel_cli ostrel-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}" 2>/dev/null
    printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | sort -u | xargs
}

expect() { # expected words, then the command line
    local want=$1
    shift
    local got
    got=$(offered "$@")
    [ "$got" = "$want" ] || fail "'$*': offered '$got', expected '$want'"
}

# Commands and their options as the usage lists them; a line indented past
# the command names continues the command before it.
usage=$("$cli" --help) || { echo "FAIL: $cli --help"; exit 1; }
declare -A options
commands=()
command=""
starts_command='^  ([a-z][a-z-]*) '
continues='^   '
while IFS= read -r line; do
    if [[ $line =~ $starts_command ]]; then
        command=${BASH_REMATCH[1]}
        commands+=("$command")
    elif [[ -z $command || ! $line =~ $continues ]]; then
        continue
    fi
    for word in $(grep -o -- '--[a-z-]*' <<<"$line"); do
        options[$command]+="$word "
    done
done <<<"$usage"
[ ${#commands[@]} -ge 6 ] || fail "usage lists ${#commands[@]} commands: $usage"

expect "$(printf '%s\n' "${commands[@]}" --help --version | sort -u | xargs)" ostrel-cli ""
for command in "${commands[@]}"; do
    want=$(printf '%s\n' ${options[$command]} | sort -u | xargs)
    expect "$want" ostrel-cli "$command" input --
    grep -q "^\.BI\? $command\b" "$manpage" || fail "manual page: no command $command"
    for option in ${options[$command]}; do
        grep -q -- "${option//-/\\\\-}" "$manpage" || fail "manual page: no $option ($command)"
    done
done

expect "1 2 3 4 5 6 7 8" ostrel-cli write-pages boiler.prt --page ""
expect "1 2 3 4 5 6 7 8" ostrel-cli write-scheme boiler.prt --controller ""
expect "0 1 3 5" ostrel-cli scheme boiler.net --version ""
expect "" ostrel-cli algorithm boiler.net --block ""

# Input files of the kind each command reads, and folders to go into.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
touch boiler.prt boiler.net notes.txt page.png
mkdir pages
expect "boiler.net pages" ostrel-cli scheme ""
expect "boiler.net pages" ostrel-cli algorithm boiler.net ""
expect "boiler.net boiler.prt pages" ostrel-cli write-scheme ""
expect "boiler.prt pages" ostrel-cli resave ""
expect "boiler.prt pages" ostrel-cli write-pages ""
expect "page.png pages" ostrel-cli render-page boiler.prt --page 1 --png ""
expect "boiler.net boiler.prt notes.txt page.png pages" ostrel-cli write-pages boiler.prt --dump ""
touch boiler-values.json
expect "boiler-values.json pages" ostrel-cli render-page boiler.prt --panel --values ""
expect "boiler-values.json pages" ostrel-cli write-plant ""
expect "boiler-values.json pages" ostrel-cli write-plant plant.json --report ""

if [ $failures -ne 0 ]; then
    echo "$failures failed"
    exit 1
fi
echo "completion and manual page of ostrel-cli: ${#commands[@]} commands checked"
