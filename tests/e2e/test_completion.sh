#!/usr/bin/env bash
# Bash completion of the two tools against a store and a folder made here: names and sections
# from the store (blanks quoted), keys of the section in use, options by verb, profile files
# and levels. Completing never creates a store. The verbs are checked against --help by
# test_manual_pages.sh.
source "$(dirname "$0")/lib.sh"

[ -f /usr/share/bash-completion/bash_completion ] ||
    e2e_fail "bash-completion is missing (scripts/setup.sh installs it)"

root=$(mktemp -d "${TMPDIR:-/tmp}/tevo-e2e-$E2E_NAME.XXXXXX")
trap 'rm -rf "$root"' EXIT
work=$root/suite
mkdir -p "$work/bin" "$work/權限" && cd "$work"
work=$(pwd -P)
: >"$work/權限/權限.INI" && : >"$work/notes.txt"
ln -s "$TEVO_BUILD_DIR/src/tevo-settings" "$work/bin/tevo-settings"
ln -s "$TEVO_BUILD_DIR/src/tevo-profile" "$work/bin/tevo-profile"
export PATH=$work/bin:$PATH
settings_completion=$TEVO_SOURCE_DIR/src/tools/tevo-settings.bash-completion
profile_completion=$TEVO_SOURCE_DIR/src/tools/tevo-profile.bash-completion

# Without a store, nothing is offered and nothing is created.
export XDG_CONFIG_HOME=$root/config
e2e_expect_eq "applications without a store" "" "$(e2e_complete "$settings_completion" tevo-settings get "")"
[ ! -e "$XDG_CONFIG_HOME" ] || e2e_fail "completing created $XDG_CONFIG_HOME"

tevo-settings set kelpan AT 工單作業
tevo-settings set kelpan VA 王小明
tevo-settings set kelpan AT x --section "/srv/other suite"
tevo-settings set EEYX WE "a notice"

# words typed, the last one completed (a blank before | starts a new word) | what Tab offers
while IFS='|' read -r words expected; do
    read -r -a typed <<<"$words"
    [[ $words == *' ' ]] && typed+=("")
    file=$settings_completion
    [ "${typed[0]}" = tevo-profile ] && file=$profile_completion
    got=$(e2e_complete "$file" "${typed[@]}" | tr '\n' ' ')
    e2e_expect_eq "Tab after '$words'" "$expected" "$got"
done <<EOF
tevo-settings -|--help --version -h 
tevo-settings get |EEYX kelpan 
tevo-settings delete k|kelpan 
tevo-settings get kelpan |AT VA 
tevo-settings set kelpan V|VA 
tevo-settings list kelpan |/srv/other\\ suite $work 
tevo-settings list EEYX |$work 
tevo-settings get kelpan AT --section |/srv/other\\ suite $work 
tevo-settings get kelpan AT --section=/srv/o|--section=/srv/other\\ suite 
tevo-settings set -|-- --help --section --wine 
tevo-settings list -|-- --help --wine 
tevo-settings get --wine |EEYX kelpan 
tevo-settings list --wine kelpan |
tevo-settings delete -|-- --help --section 
tevo-settings export kelpan |/srv/other\\ suite $work 
tevo-settings export --output bi|bin 
tevo-settings import -|-- --dry-run --help --map 
tevo-settings move |/srv/other\\ suite $work 
tevo-profile show |bin 權限 
tevo-profile check 權限/|權限/權限.INI 
tevo-profile show 權限/權限.INI |2 3 4 5 6 
tevo-profile get x.INI 第三|第三級 
tevo-profile get -|--help -h 
EOF
e2e_pass "Tab completes names, sections, keys, options, files and levels"
