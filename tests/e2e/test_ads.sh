#!/usr/bin/env bash
# The advertisement banner rotates from start to start: each start shows the next advertisement
# whose date has not passed, in the banner of the real window, and remembers it in "FHEE"; stored
# numbers, however large, do not hold up the window. Last, a screenshot of the window with a
# banner, a notice and a background is kept in build/screenshots/ for a reader to look at.
#
# The advertisement pictures are solid red, green and blue, so that a screenshot tells which one
# the banner shows.
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"

e2e_setup
e2e_start_xvfb
if ! command -v convert >/dev/null || ! command -v import >/dev/null; then
    e2e_fail "imagemagick is missing (scripts/setup.sh installs it)"
fi
e2e_install_standins GARVO.exe
e2e_seed_login 1

eeyx_set() { e2e_settings set EEYX "$1" "$2" --section "$E2E_WORK" || e2e_fail "cannot set EEYX $1"; }
eeyx_get() { e2e_settings get EEYX "$1" --section "$E2E_WORK"; }

declare -A ad_colour=([1]=red [2]=green [3]=blue)
make_ad()
{
    convert -size 789x111 "xc:${ad_colour[$1]}" -fill white -draw "rectangle 620,20 760,90" \
        "$E2E_WORK/${2:-GARVO$1.JPG}" || e2e_fail "convert could not make advertisement $1"
}

# The colour at a point of a screenshot: red, green, blue, gold or other.
colour_at()
{
    local rgb r g b
    rgb=$(convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | sed -nE 's/.*\(([0-9]+),([0-9]+),([0-9]+).*/\1 \2 \3/p')
    read -r r g b <<<"$rgb"
    [ -n "$b" ] || e2e_fail "cannot read the pixel at $2,$3 of $1"
    if ((r > 200 && g < 60 && b < 60)); then echo red
    elif ((r < 60 && g > 100 && b < 60)); then echo green
    elif ((r < 60 && g < 60 && b > 200)); then echo blue
    elif ((r > 200 && g > 180 && b < 60)); then echo gold
    else echo "other($r,$g,$b)"
    fi
}

# Points of the window, below a menu bar 10 to 40 pixels high: one inside the banner (105 pixels
# high at the top of the client area), one inside the background picture (from 136 to 521
# pixels down, 112 to 793 across), away from every control over it.
banner_point=(400 60)
background_point=(450 330)

shot=$E2E_ROOT/window.png
# Takes a screenshot of the window and prints the banner's colour.
banner_colour()
{
    import -window "$1" "$shot" 2>/dev/null || e2e_fail "import could not take a screenshot"
    colour_at "$shot" "${banner_point[@]}"
}
banner_shows() { [ "$(banner_colour "$1")" = "$2" ]; }
banner_painted() { [ "$(banner_colour "$1")" != "other(0,0,0)" ]; }

today=$(date +%Y/%m/%d)
future=2099/12/31
past=2000/01/01

#   case | EEGX EEYG FHEE (- keeps the last value) | dates 1B 2B 3B (- none) |
#   picture files | FHEE after | banner
rows=(
    "two current, the second next|1 3 1|$future $future $past|GARVO1.JPG GARVO2.JPG GARVO3.JPG|2|green"
    "the second shown last, the third expired|1 3 -|$future $future $past|GARVO1.JPG GARVO2.JPG GARVO3.JPG|1|red"
    "the last one, dated today|1 3 2|$future $future $today|GARVO1.JPG GARVO2.JPG GARVO3.JPG|3|blue"
    "the last shown, wrap-around|1 3 3|$past $future $future|GARVO1.JPG GARVO2.JPG GARVO3.JPG|2|green"
    "all expired|1 3 2|$past $past $past|GARVO1.JPG GARVO2.JPG GARVO3.JPG|2|built-in"
    "next picture missing: the one after it, whatever its date|1 3 1|$future $future $past|GARVO1.JPG GARVO3.JPG|3|blue"
    "picture name in other letter case|1 3 1|$future $future $future|GARVO1.JPG garvo2.jpg GARVO3.JPG|2|green"
    "rotation switched off|0 3 1|$future $future $future|GARVO1.JPG GARVO2.JPG GARVO3.JPG|1|built-in"
    "a hostile ad count and no dates|1 2000000000 5|- - -|GARVO1.JPG|5|built-in"
)
builtin_colour=
for row in "${rows[@]}"; do
    IFS='|' read -r what numbers dates pictures fhee_after banner <<<"$row"
    read -r eegx eeyg fhee <<<"$numbers"
    read -r -a date_of <<<"$dates"
    eeyx_set EEGX "$eegx"
    eeyx_set EEYG "$eeyg"
    [ "$fhee" = - ] || eeyx_set FHEE "$fhee"
    for n in 1 2 3; do
        if [ "${date_of[n - 1]}" = - ]; then
            e2e_settings delete EEYX "${n}B" --section "$E2E_WORK" >/dev/null 2>&1 || true
        else
            eeyx_set "${n}B" "${date_of[n - 1]}"
        fi
    done
    rm -f "$E2E_WORK"/GARVO*.JPG "$E2E_WORK"/garvo*.jpg
    for picture in $pictures; do
        n=${picture//[!0-9]/}
        make_ad "$n" "$picture"
    done

    started=$(e2e_now_ms)
    e2e_start_menu
    # The rotation runs before the window is shown: a stored number must not keep it away.
    window=$(e2e_wait_menu_window 5)
    opened_after=$(($(e2e_now_ms) - started))
    e2e_expect_eq "$what: \"FHEE\"" "$fhee_after" "$(eeyx_get FHEE || echo '(missing)')"
    if [ "$banner" = built-in ]; then
        # The built-in banner is none of the advertisements' colours; the first time it shows,
        # its colour at the point is noted and must be the same every time. A window that is not
        # painted yet is black there.
        e2e_wait_until "$E2E_TIMEOUT" "$what: the window was not painted" banner_painted "$window"
        got=$(banner_colour "$window")
        builtin_colour=${builtin_colour:-$got}
        case $got in red | green | blue) e2e_fail "$what: the banner shows an advertisement ($got)" ;; esac
        e2e_expect_eq "$what: banner colour (built-in picture)" "$builtin_colour" "$got"
    else
        e2e_wait_until "$E2E_TIMEOUT" "$what: the banner does not show the $banner advertisement (it shows $(banner_colour "$window"))" \
            banner_shows "$window" "$banner"
    fi
    e2e_stop_menu
    e2e_pass "$what: \"FHEE\" $fhee_after, banner $banner, window after $opened_after ms"
done

# ---- the screenshot ------------------------------------------------------------------------

# A banner (the second advertisement), a notice with blanks around it, and a background.
eeyx_set EEGX 1
eeyx_set EEYG 3
eeyx_set FHEE 1
eeyx_set 1B "$future"
eeyx_set 2B "$future"
for n in 1 2 3; do make_ad "$n"; done
eeyx_set WE "  本系統將於本週六 22:00 起暫停服務兩小時，請提早存檔  "
convert -size 678x382 xc:gold -fill purple -draw "circle 110,110 110,180" \
    -fill teal -draw "rectangle 470,260 660,370" "$E2E_WORK/gjvw.JPG" ||
    e2e_fail "convert could not make the background picture"
e2e_start_menu
window=$(e2e_wait_menu_window)
e2e_wait_until "$E2E_TIMEOUT" "the banner does not show the green advertisement" \
    banner_shows "$window" green
got=$(colour_at "$shot" "${background_point[@]}")
e2e_expect_eq "background colour (gjvw.JPG)" gold "$got"
# Let the notice scroll a few steps.
sleep 1
mkdir -p "$TEVO_BUILD_DIR/screenshots"
import -window "$window" "$TEVO_BUILD_DIR/screenshots/ads-window.png" ||
    e2e_fail "import could not take the screenshot"
e2e_stop_menu
e2e_pass "screenshot with banner, notice and background: $TEVO_BUILD_DIR/screenshots/ads-window.png"
