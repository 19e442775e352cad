#!/usr/bin/env bash
# The bash completion of varnel-cli as bash-completion loads it: commands, each command's
# options, option values and file arguments by their extensions.
# Usage: completion_test.sh BINDIR COMPLETIONFILE
set -uo pipefail
bindir="$1"
completion="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export PATH="$bindir:$PATH"
# shellcheck disable=SC1091
source /usr/share/bash-completion/bash_completion || { echo "FAIL: no bash-completion"; exit 1; }
# shellcheck disable=SC1090
source "$completion"

mkdir -p "$work/games/pg2"
touch "$work/games/pg2/EQUIP97.EQP" "$work/games/pg2/EQUIP97.txt" "$work/games/pg2/PANZER2.DAT" \
      "$work/games/pg2/units.eqp" "$work/games/pg2/tiger.png" "$work/games/pg2/units.csv"
cd "$work/games/pg2" || exit 1

failures=0
# complete LINE -> the sorted candidates, one per line
complete_line() {
    COMP_LINE="$1"
    COMP_POINT=${#COMP_LINE}
    read -r -a COMP_WORDS <<<"$COMP_LINE"
    [[ $COMP_LINE == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _varnel_cli varnel-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort
}
expect() {
    local line="$1" expected="$2" got
    got="$(complete_line "$line" | tr '\n' ' ' | sed 's/ $//')"
    if [[ $got != "$expected" ]]; then
        echo "FAIL: '$line' completes to '$got', expected '$expected'"
        failures=$((failures + 1))
    fi
}
contains() {
    local line="$1" word="$2"
    if ! complete_line "$line" | grep -qx -- "$word"; then
        echo "FAIL: '$line' does not offer '$word'"
        failures=$((failures + 1))
    fi
}

expect "varnel-cli u" "used-icons"
expect "varnel-cli --v" "--version"
contains "varnel-cli " "convert"
contains "varnel-cli " "samples"
expect "varnel-cli convert --t" "--tfile --tfile-out --trust-header"
expect "varnel-cli convert --p" "--peg-tfile --pg2-tfile"
expect "varnel-cli export --ov" "--overwrite"
expect "varnel-cli info --game " "peg pg2"
expect "varnel-cli report x.eqp --format " "brief full list"
expect "varnel-cli used-icons x.eqp --type r" "repack"
expect "varnel-cli info --suffix .d" ".deu"
expect "varnel-cli info " "EQUIP97.EQP units.eqp"
expect "varnel-cli merge EQUIP97.EQP " "EQUIP97.txt"
expect "varnel-cli icons --game pg2 " "PANZER2.DAT"
expect "varnel-cli icon --game pg2 PANZER2.DAT TIGER -o " "tiger.png"
expect "varnel-cli info --tfile " "EQUIP97.txt"
contains "varnel-cli " "from-csv"
expect "varnel-cli from-csv --dr" "--dry-run"
expect "varnel-cli from-csv EQUIP97.EQP " "EQUIP97.txt units.csv"
expect "varnel-cli to-csv EQUIP97.EQP -o " "units.csv"
expect "varnel-cli diff a.eqp b.eqp --format " "csv text"
expect "varnel-cli set --wh" "--where"
expect "varnel-cli set " "EQUIP97.EQP units.eqp"
expect "varnel-cli set EQUIP97.EQP --where 'cost > 1' " ""
expect "varnel-cli list --co" "--columns"
expect "varnel-cli list x.eqp --format " "csv text"
expect "varnel-cli check --ar" "--archive"
expect "varnel-cli check EQUIP97.EQP --archive " "PANZER2.DAT"
expect "varnel-cli check --archive PANZER2.DAT " "EQUIP97.EQP units.eqp"

[[ $failures -eq 0 ]] || exit 1
echo "completion ok"
