#!/usr/bin/env bash
# The manual pages as the build makes them: groff renders each without a warning, and the
# verbs and options each tool's page describes are exactly those its --help lists, so that a
# verb cannot be added without its page. The bash completion offers the same verbs.
source "$(dirname "$0")/lib.sh"

MAN_DIR=$TEVO_BUILD_DIR/packaging/man
command -v groff >/dev/null || e2e_fail "groff is missing (scripts/setup.sh installs groff-base)"

# The text of a rendered page: no bold or underline, wide lines so that no tag is wrapped.
render() { groff -man -Tutf8 -P-cbou -rLL=200n "$1"; }

# The paragraph tags (indented by 7 columns) of one section of a rendered page.
section_tags()
{
    awk -v name="$1" '/^[A-Z]/ { inside = ($0 == name); next }
                      inside && /^       [^ ]/ { print substr($0, 8) }'
}

# Options named in a text: words that start with - or -- at the start, after a blank, "[",
# "|" or ",".
options_in() { grep -oE -- '(^|[][ |,])--?[a-z][a-z-]*' | sed 's/^[][ |,]//' | sort -u; }

for page in tevo-menu tevo-settings tevo-profile; do
    file=$MAN_DIR/$page.1
    [ -f "$file" ] || e2e_fail "$file is missing; build the project first"
    # Every warning: -ww is -wall and also undefined macros, strings and registers.
    warnings=$(groff -man -ww -Tutf8 -z "$file" 2>&1) || e2e_fail "groff failed on $file: $warnings"
    [ -z "$warnings" ] || e2e_fail "groff -man -ww warns about $page.1:
$warnings"
    [ "$(render "$file" | sed -n '/^NAME/{n;p;q}' | sed 's/^ *//')" != "" ] ||
        e2e_fail "$page.1 has no NAME line"
done
e2e_pass "groff renders the three pages without a warning"

for tool in tevo-settings tevo-profile; do
    help=$("$TEVO_BUILD_DIR/src/$tool" --help) || e2e_fail "$tool --help failed"
    # Usage lines: "  VERB ..." or "  TOOL VERB ...".
    help_verbs=$(printf '%s\n' "$help" |
        awk '/^ / { n = $1 ~ /^tevo-/ ? 2 : 1; if ($n ~ /^[a-z][a-z-]*$/) print $n }' |
        sort -u | tr '\n' ' ')
    [ -n "$help_verbs" ] || e2e_fail "found no verb in $tool --help: $help"
    text=$(render "$MAN_DIR/$tool.1")
    page_verbs=$(printf '%s\n' "$text" | section_tags COMMANDS | awk '{ print $1 }' | sort -u |
        tr '\n' ' ')
    e2e_expect_eq "verbs of the $tool page against --help" "$help_verbs" "$page_verbs"
    e2e_expect_eq "options of the $tool page against --help" \
        "$(printf '%s\n' "$help" | options_in | tr '\n' ' ')" \
        "$(printf '%s\n' "$text" | section_tags OPTIONS | options_in | tr '\n' ' ')"

    # The completion's verbs: what Tab offers after the tool's name.
    offered=$(e2e_complete "$TEVO_SOURCE_DIR/src/tools/$tool.bash-completion" "$tool" "" |
        tr '\n' ' ') || e2e_fail "the completion of $tool does not load"
    e2e_expect_eq "verbs the $tool completion offers against --help" "$help_verbs" "$offered"
    e2e_pass "$tool: page, completion and --help name the verbs $help_verbs"
done
