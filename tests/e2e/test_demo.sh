#!/usr/bin/env bash
# The demo installation that the build makes: a stand-in under every program name the menu
# starts, a permission profile in code page 950 where the sample login context points, a seed
# script that writes that login context, and the real menu handing off inside it.
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"

e2e_setup
demo=$TEVO_BUILD_DIR/demo
[ -d "$demo" ] || e2e_fail "$demo is missing; build the tevo-demo target"
demo=$(cd "$demo" && pwd -P)

# Every program named in the menu's sources has its stand-in, and so do the fixed ones.
programs=$(grep -rhoE '"[A-Za-z0-9_]+\.exe"' "$TEVO_SOURCE_DIR/src" | tr -d '"' | sort -u)
for program in $programs E2.exe GD.exe DC.exe QMG.exe PREPARE.exe CO.exe FV.exe GARVO.exe; do
    [ -x "$demo/$program" ] || e2e_fail "the demo installation has no runnable $program"
    [ "$(readlink -f "$demo/$program")" = "$(readlink -f "$E2E_STANDIN")" ] ||
        e2e_fail "$demo/$program is not the stand-in program"
done
e2e_pass "a stand-in for each of the $(echo "$programs" | wc -w) programs named in src/ and the fixed ones"

# The profile is code page 950 with CR LF line ends, as the suite writes it, not UTF-8.
profile=$demo/權限/權限.INI
[ -f "$profile" ] || e2e_fail "the demo has no permission profile at $profile"
iconv -f CP950 -t UTF-8 "$profile" >"$E2E_ROOT/profile.utf8" ||
    e2e_fail "$profile is not valid code page 950"
if iconv -f UTF-8 -t UTF-8 "$profile" >/dev/null 2>&1; then
    e2e_fail "$profile is UTF-8, not code page 950"
fi
[ "$(grep -c $'\r$' "$profile")" = "$(wc -l <"$profile")" ] ||
    e2e_fail "$profile does not end every line with CR LF"
for section in 第二級 第三級 第四級 第五級 第六級; do
    grep -qx "\[$section\]"$'\r' "$E2E_ROOT/profile.utf8" || e2e_fail "the profile has no section [$section]"
done

# What the menu reads from it: levels restrict more as they rise, and the administrator's tool
# finds nothing to complain about.
#   level section | key | value read
reads=(
    "第二級|權限設定|NO"
    "第二級|工單作業|YES"
    "第三級|資料備份|NO"
    "第三級|結帳登記|YES"
    "第六級|結帳登記|NO"
    "第六級|工單作業|YES"
)
[ -x "$E2E_PROFILE_TOOL" ] || e2e_fail "$E2E_PROFILE_TOOL is missing"
for row in "${reads[@]}"; do
    IFS='|' read -r section key want <<<"$row"
    got=$("$E2E_PROFILE_TOOL" get "$profile" "$section" "$key") ||
        e2e_fail "tevo-profile get $section $key failed"
    e2e_expect_eq "[$section] $key in the demo profile" "$want" "$got"
done
"$E2E_PROFILE_TOOL" check "$profile" >"$E2E_ROOT/logs/profile-check.log" 2>&1 ||
    e2e_fail "tevo-profile check finds mistakes in the demo profile: $(head -n 5 "$E2E_ROOT/logs/profile-check.log")"
e2e_pass "permission profile: code page 950, CR LF, five levels, clean for tevo-profile check"

# The seed script: a level that is not a number is refused with nothing written; otherwise the
# login context names the demo as host and the profile above.
seed=$TEVO_SOURCE_DIR/demo/seed-login.sh
if TEVO_BUILD_DIR=$TEVO_BUILD_DIR "$seed" x "$demo" 2>/dev/null; then
    e2e_fail "seed-login.sh accepted the level 'x'"
fi
[ -z "$("$E2E_SETTINGS" list kelpan 2>/dev/null)" ] || e2e_fail "seed-login.sh wrote something for the level 'x'"
TEVO_BUILD_DIR=$TEVO_BUILD_DIR "$seed" 6 "$demo" >/dev/null || e2e_fail "seed-login.sh failed"
E2E_WORK=$demo
e2e_expect_eq "seeded AAA" 6 "$(e2e_get AAA)"
e2e_expect_eq "seeded VA" 王小明 "$(e2e_get VA)"
e2e_expect_eq "seeded r5 (the demo is its own host)" "$demo" "$(e2e_get r5)"
mx=$(e2e_get mx)
located="$demo$mx${mx:1:${#mx}-2}.INI"
e2e_expect_eq "profile named by the seeded login context" "$profile" "$located"
e2e_pass "seed-login.sh"

# The menu in the demo folder at level 6: "結帳登記" is greyed there, so F2 starts nothing;
# "工單作業" is allowed, so F1 hands off to the demo's E2.exe. Keys are handled in order: once
# E2.exe has started, F2 has been handled too.
e2e_start_xvfb
e2e_start_menu
window=$(e2e_wait_menu_window)
e2e_key "$window" F2
e2e_key "$window" F1
line=$(e2e_wait_record E2.exe)
e2e_wait_exit "$E2E_MENU_PID" "$E2E_TIMEOUT" "the menu after the hand-off in the demo"
e2e_expect_record "$line" E2.exe 工單作業 A "$(e2e_get ATU || echo '(missing)')"
e2e_expect_eq "starts of GD.exe at level 6" 0 "$(e2e_record_count GD.exe)"
e2e_pass "the menu in the demo installation follows its profile and hands off to its stand-ins"
