#!/usr/bin/env bash
# Files the menu reads that are damaged, hostile or absurd: the permission profile, the pictures
# and the stored notice. The menu always opens, greys only what a readable profile forbids,
# shows its built-in pictures in place of those it cannot show, scrolls even a huge notice, and
# stays as quick as it is without these files: every figure is measured against a run without
# them, in the same session on the same display.
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=tests/e2e/bad_input_lib.sh
source "$(dirname "$0")/bad_input_lib.sh"

e2e_setup
e2e_start_xvfb
e2e_install_standins E2.exe GD.exe uut.exe
command -v import >/dev/null || e2e_fail "import is missing (Debian package imagemagick)"
command -v convert >/dev/null || e2e_fail "convert is missing (Debian package imagemagick)"
# Level 2 with the profile folder text "/權限/": the profile is WORK/權限/權限.INI.
e2e_seed_login 2 /權限/
PROFILE=$E2E_WORK/權限/權限.INI
mkdir -p "$E2E_WORK/權限"
# Keeps the pointer off the window, so that no tooltip covers what the screenshots compare.
xdotool mousemove 1270 1010

# Extra time a bad file may cost over the run without it, in milliseconds.
ALLOWANCE_MS=2000

# Values the menu must not change: everything but the hand-off keys and the rotation's memory.
kept_values() { e2e_settings list | grep -Pv '\t(AT|YXQ|ATU|FHEE)\t' || true; }

# Starts the menu, presses KEYS as soon as its window shows, waits for PROGRAM to start and the
# menu to end. Sets SHOWN_MS (start to window) and STARTED_MS (start to PROGRAM running), and
# takes a screenshot of the window first when SHOT is set (a file name).
#   open_and_hand_off PROGRAM KEY...
open_and_hand_off()
{
    local program=$1 window line before values starts
    shift
    before=$(wc -l <"$E2E_RECORD")
    values=$(kept_values)
    starts=$(($(e2e_record_count "$program") + 1))
    bi_start_menu
    window=$(e2e_wait_menu_window)
    SHOWN_MS=$(bi_elapsed_ms)
    if [ -n "${SHOT:-}" ]; then
        # Painting follows the mapping of the window; the notice line is the last thing drawn.
        sleep 0.5
        bi_screenshot "$window" "$SHOT"
    fi
    e2e_key "$window" "$@"
    line=$(e2e_wait_record "$program" "$E2E_TIMEOUT" "$starts")
    STARTED_MS=$(($(e2e_field "$line" 7) - BI_STARTED_MS))
    e2e_wait_exit "$E2E_MENU_PID" "$E2E_TIMEOUT" "the menu after $*"
    e2e_wait_programs_done
    e2e_expect_eq "programs started by $*" 1 $(($(wc -l <"$E2E_RECORD") - before))
    e2e_expect_eq "stored values after the menu ran" "$values" "$(kept_values)"
}

# Checks the figures of the last run against the baseline.
expect_as_quick()
{
    bi_expect_at_most "opening the menu with $1" $((BASE_SHOWN_MS + ALLOWANCE_MS)) "$SHOWN_MS"
    bi_expect_at_most "opening the menu with $1 and handing off" \
        $((BASE_STARTED_MS + ALLOWANCE_MS)) "$STARTED_MS"
    e2e_log "$1: window after $SHOWN_MS ms, module running after $STARTED_MS ms"
}

# Prints the fingerprint of one area (banner, background, notice) of a screenshot, or the first
# row of its client area (top); the client area's top found in the baseline is used for every
# later screenshot.
#   region SHOT NAME
region()
{
    "$E2E_PYTHON" "$E2E_DIR/window_regions.py" "$1" ${CLIENT_TOP:+"$CLIENT_TOP"} |
        awk -F '\t' -v n="$2" '$1 == n { print $2 }'
}

# ---- baseline: no profile, no pictures, the built-in notice -----------------------------------

SHOT=$E2E_ROOT/base.ppm open_and_hand_off E2.exe F1
BASE_SHOWN_MS=$SHOWN_MS
BASE_STARTED_MS=$STARTED_MS
CLIENT_TOP=$(region "$E2E_ROOT/base.ppm" top)
BASE_BANNER=$(region "$E2E_ROOT/base.ppm" banner)
BASE_BACKGROUND=$(region "$E2E_ROOT/base.ppm" background)
if [ -z "$BASE_BANNER" ] || [ -z "$BASE_BACKGROUND" ]; then
    e2e_fail "no areas found in the baseline screenshot"
fi
e2e_log "baseline: window after $BASE_SHOWN_MS ms, E2.exe running after $BASE_STARTED_MS ms"

# ---- permission profiles ---------------------------------------------------------------------

# Profile text in code page 950 with CR LF line ends, from UTF-8 on standard input.
cp950() { sed 's/$/\r/' | iconv -f UTF-8 -t CP950; }

profile_folder() { mkdir -p "$PROFILE/第二級" && echo "工單作業=NO" >"$PROFILE/第二級/note.txt"; }
profile_binary()
{
    # Random bytes, NULs among them, with readable profile lines in the middle: still not text.
    {
        head -c 32768 /dev/urandom
        printf '\r\n[第二級]\r\n工單作業=NO\r\n' | iconv -f UTF-8 -t CP950
        head -c 32768 /dev/urandom
    } >"$PROFILE"
}
# A real profile at the top, then comment lines up to SIZE bytes.
#   long_profile SIZE
long_profile()
{
    "$E2E_PYTHON" -c '
import sys
size = int(sys.argv[2])
head = "[第二級]\r\n工單作業=NO\r\n".encode("cp950")
line = "; 權限設定檔的說明文字，一再重複。\r\n".encode("cp950")
with open(sys.argv[1], "wb") as f:
    f.write(head)
    f.write(line * ((size - len(head)) // len(line)))' "$PROFILE" "$1"
}
# Too large to be a profile: nothing of it counts.
profile_50mb() { long_profile $((50 * 1024 * 1024)); }
# Just under the size that is still read, and read for each of the 43 keys.
profile_just_readable() { long_profile $((1024 * 1024)); }
profile_not_cp950()
{
    # Lines that are not code page 950 (0xFF, a lead byte without its trail byte, a pair that
    # is no character) between lines that are. The readable lines count; a damaged name or
    # value matches nothing; a damaged byte never swallows the line end after it.
    {
        printf '[第二級]\n工單作業=NO\n' | cp950
        printf '\xff\xfe\x80\x80=NO\r\n'
        printf '; a lead byte at the end of a line \xa4\r\n'
        printf '結帳登記=NO\n' | cp950
        printf '營業查詢=\xffNO\r\n'
        printf '\xa4\x7f\xc6\xa1=NO\r\n'
    } >"$PROFILE"
}

#   the profile is | function that makes it | keys pressed | program started
profiles=(
    "a folder|profile_folder|F1|E2.exe"
    "a binary file|profile_binary|F1|E2.exe"
    "50 MB long|profile_50mb|F1|E2.exe"
    "1 MB long and readable|profile_just_readable|F1 F2|GD.exe"
    "not valid code page 950|profile_not_cp950|F1 F2 F6|uut.exe"
)
for row in "${profiles[@]}"; do
    IFS='|' read -r what make keys program <<<"$row"
    rm -rf "$PROFILE"
    "$make"
    before=$(bi_fingerprint "$E2E_WORK/權限")
    # shellcheck disable=SC2086 # the keys are separate words
    open_and_hand_off "$program" $keys
    expect_as_quick "a profile that is $what"
    e2e_expect_eq "the profile folder after the menu read it" "$before" \
        "$(bi_fingerprint "$E2E_WORK/權限")"
    e2e_pass "a profile that is $what: the menu opens and $keys reaches $program"
done
rm -rf "$PROFILE"

# ---- pictures --------------------------------------------------------------------------------

# The advertisement rotation is on with one current advertisement: GARVO1.JPG.
e2e_settings set EEYX EEGX 1 --section "$E2E_WORK"
e2e_settings set EEYX EEYG 1 --section "$E2E_WORK"
e2e_settings set EEYX 1B 2099/12/31 --section "$E2E_WORK"

picture_real() { convert -size 800x560 plasma:fractal -seed 7 "jpeg:$1"; }
picture_photo()
{
    # 6000 x 4000 pixels, as a camera makes them: shown, decoded no larger than it is seen.
    convert -size 6000x4000 xc:'#2060a0' -fill '#e0c020' -draw 'rectangle 3000,0 5999,3999' \
        -fill white -draw 'circle 1500,2000 1500,600' -quality 90 "jpeg:$1"
}
picture_text() { printf '這不是圖片\r\n' >"$1"; }
picture_empty() { : >"$1"; }
picture_folder() { mkdir "$1"; }
# Opened for reading as a file would be, a FIFO without a writer waits for one for good.
picture_fifo() { mkfifo "$1"; }
picture_huge_jpeg()
{
    # A real JPEG whose frame header announces 30000 x 30000 pixels.
    convert -size 64x48 xc:red "jpeg:$1"
    "$E2E_PYTHON" -c '
import sys
data = bytearray(open(sys.argv[1], "rb").read())
at = data.index(b"\xff\xc0")
data[at + 5:at + 9] = (30000).to_bytes(2, "big") * 2
open(sys.argv[1], "wb").write(bytes(data))' "$1"
}
picture_png_bomb()
{
    # 16000 x 16000 grey pixels, 256 MB once decoded, a few hundred KB on disk.
    "$E2E_PYTHON" -c '
import struct, sys, zlib
w = h = 16000
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
packer = zlib.compressobj(9)
row = bytes(w + 1)
body = b"".join(packer.compress(row) for _ in range(h)) + packer.flush()
png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 0, 0, 0, 0))
       + chunk(b"IDAT", body) + chunk(b"IEND", b""))
open(sys.argv[1], "wb").write(png)' "$1"
}

#   the picture files are | function that makes one | shown (yes: the file, no: built-in)
pictures=(
    "real pictures|picture_real|yes"
    "photographs of 6000 x 4000 pixels|picture_photo|yes"
    "text|picture_text|no"
    "empty|picture_empty|no"
    "folders|picture_folder|no"
    "FIFOs|picture_fifo|no"
    "a JPEG header of 30000 x 30000 pixels|picture_huge_jpeg|no"
    "a PNG of 16000 x 16000 pixels (256 MB decoded)|picture_png_bomb|no"
)
for row in "${pictures[@]}"; do
    IFS='|' read -r what make shown <<<"$row"
    rm -rf "$E2E_WORK/gjvw.JPG" "$E2E_WORK/GARVO1.JPG"
    "$make" "$E2E_WORK/gjvw.JPG"
    "$make" "$E2E_WORK/GARVO1.JPG"
    e2e_settings delete EEYX FHEE --section "$E2E_WORK"

    SHOT=$E2E_ROOT/picture.ppm open_and_hand_off E2.exe F1
    expect_as_quick "picture files that are $what"
    banner=$(region "$E2E_ROOT/picture.ppm" banner)
    background=$(region "$E2E_ROOT/picture.ppm" background)
    shown_ad=$(e2e_settings get EEYX FHEE --section "$E2E_WORK" || echo "(missing)")
    if [ "$shown" = yes ]; then
        [ "$banner" != "$BASE_BANNER" ] ||
            e2e_fail "the banner shows the built-in picture, not GARVO1.JPG"
        [ "$background" != "$BASE_BACKGROUND" ] ||
            e2e_fail "the background shows the built-in picture, not gjvw.JPG"
        e2e_expect_eq "advertisement recorded as shown" 1 "$shown_ad"
    else
        e2e_expect_eq "banner with picture files that are $what (built-in)" "$BASE_BANNER" "$banner"
        e2e_expect_eq "background with picture files that are $what (built-in)" \
            "$BASE_BACKGROUND" "$background"
        e2e_expect_eq "advertisement recorded as shown with picture files that are $what" \
            "(missing)" "$shown_ad"
    fi
    e2e_pass "picture files that are $what: the menu opens at once, showing them: $shown"
done
rm -rf "$E2E_WORK/gjvw.JPG" "$E2E_WORK/GARVO1.JPG"

# ---- a stored notice of 1 MB -----------------------------------------------------------------

"$E2E_PYTHON" -c '
import sys
line = "系統通告：本週六下午二時至五時停機維護，請提早完成結帳作業。\t敬請見諒。\n"
text = ""
n = 0
while len(text.encode("utf-8")) < 1024 * 1024:
    n += 1
    text += "第%d則 %s" % (n, line)
sys.stdout.write(text)' >"$E2E_ROOT/notice.txt"
bi_store_put EEYX "$E2E_WORK" WE <"$E2E_ROOT/notice.txt"
notice_sum=$(sha256sum <"$E2E_ROOT/notice.txt")
e2e_expect_eq "the stored notice as written" "$notice_sum" \
    "$(e2e_settings get EEYX WE --section "$E2E_WORK" | head -c -1 | sha256sum)"

records=$(wc -l <"$E2E_RECORD")
bi_start_menu
window=$(e2e_wait_menu_window)
SHOWN_MS=$(bi_elapsed_ms)
bi_expect_at_most "opening the menu with a notice of 1 MB" $((BASE_SHOWN_MS + ALLOWANCE_MS)) \
    "$SHOWN_MS"
# The line scrolls: two screenshots half a second apart show different notice text, the same
# banner.
sleep 0.5
bi_screenshot "$window" "$E2E_ROOT/notice1.ppm"
sleep 0.5
bi_screenshot "$window" "$E2E_ROOT/notice2.ppm"
first=$(region "$E2E_ROOT/notice1.ppm" notice)
second=$(region "$E2E_ROOT/notice2.ppm" notice)
[ "$first" != "$second" ] || e2e_fail "the notice line did not move in half a second"
e2e_expect_eq "banner while the notice scrolls" "$BASE_BANNER" \
    "$(region "$E2E_ROOT/notice2.ppm" banner)"
# Still answering at once: F1 hands off.
starts=$(($(e2e_record_count E2.exe) + 1))
pressed=$(e2e_now_ms)
e2e_key "$window" F1
line=$(e2e_wait_record E2.exe "$E2E_TIMEOUT" "$starts")
answer_ms=$(($(e2e_field "$line" 7) - pressed))
bi_expect_at_most "handing off while a notice of 1 MB scrolls" \
    $((BASE_STARTED_MS - BASE_SHOWN_MS + ALLOWANCE_MS)) "$answer_ms"
e2e_wait_exit "$E2E_MENU_PID" "$E2E_TIMEOUT" "the menu after F1"
e2e_wait_programs_done
e2e_expect_eq "programs started with a notice of 1 MB" 1 $(($(wc -l <"$E2E_RECORD") - records))
e2e_expect_eq "the stored notice after the menu ran" "$notice_sum" \
    "$(e2e_settings get EEYX WE --section "$E2E_WORK" | head -c -1 | sha256sum)"
e2e_log "notice of 1 MB: window after $SHOWN_MS ms, E2.exe running $answer_ms ms after F1"
e2e_pass "a stored notice of 1 MB: the menu opens, scrolls it, answers and keeps it"
