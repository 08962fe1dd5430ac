#!/usr/bin/env bash
# The Debian package: made by CPack from this build, checked with Debian's own tools (lintian,
# appstreamcli, hardening-check, man), installed with dpkg, run from the installed files,
# removed with dpkg.
#
# The test installs into /usr. It runs only as root, while dpkg is idle, and when neither the
# package nor any of its files is on the machine; otherwise it is skipped (exit 77). Whatever
# happens after the install, the exit trap removes the package again. A run killed before its
# trap could remove the package leaves a marker file naming its process; the next run removes
# that package first, unless the process still runs (then that run owns it and this one skips).
source "$(dirname "$0")/lib.sh"

PACKAGE=tevo-menu
SKIPPED=77
MARKER=/var/tmp/tevo-e2e-package.installed
PKG_INSTALLED_BY_TEST=0
# Files (not folders) the package holds, absolute paths, one a line.
PKG_FILES=

skip()
{
    echo "skipped [$E2E_NAME]: $*" >&2
    exit "$SKIPPED"
}

package_status() { dpkg-query -W -f='${db:Status-Abbrev}' "$PACKAGE" 2>/dev/null || true; }

# Whether dpkg has the package in any state but "not installed".
package_known()
{
    local status
    status=$(package_status)
    [ -n "${status// /}" ] && [ "$status" != "un " ]
}

# Whether dpkg's locks are free now (dpkg and apt take them with fcntl).
dpkg_idle()
{
    "$E2E_PYTHON" - <<'EOF'
import fcntl, os, sys
for name in ("/var/lib/dpkg/lock-frontend", "/var/lib/dpkg/lock"):
    try:
        fd = os.open(name, os.O_RDWR | os.O_CREAT, 0o640)
    except OSError:
        sys.exit(1)
    try:
        fcntl.lockf(fd, fcntl.LOCK_EX | fcntl.LOCK_NB)
    except OSError:
        sys.exit(1)
    finally:
        os.close(fd)
EOF
}

# Removes the package and the marker.
remove_package()
{
    if package_known; then
        timeout 60 dpkg -r "$PACKAGE" >&2 || e2e_log "dpkg -r $PACKAGE failed: remove it by hand"
    fi
    rm -f "$MARKER"
}

# The process of the run that wrote the marker, when it still runs.
marker_owner()
{
    local pid
    pid=$(awk '{ print $1; exit }' "$MARKER" 2>/dev/null) || return 1
    [ -n "$pid" ] && e2e_process_alive "$pid" && echo "$pid"
}

package_exit()
{
    local status=$?
    trap - EXIT
    set +e
    e2e_stop_menu
    [ "$PKG_INSTALLED_BY_TEST" = 0 ] || remove_package
    (exit "$status")
    e2e_cleanup
}

# Width and height of a PNG file, from its header.
png_size()
{
    "$E2E_PYTHON" -c '
import struct, sys
head = open(sys.argv[1], "rb").read(24)
if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
    sys.exit("not a PNG file: " + sys.argv[1])
print("%dx%d" % struct.unpack(">II", head[16:24]))' "$1"
}

# Fails unless every dependency in a Depends field is installed in a version that satisfies it.
expect_dependencies_installed()
{
    local field=$1 dependency name op version installed missing=()
    local relation='\(([<>=]+) *([^)]+)\)'
    while IFS= read -r dependency; do
        [ -n "$dependency" ] || continue
        name=${dependency%% *}
        op= version=
        if [[ $dependency =~ $relation ]]; then
            op=${BASH_REMATCH[1]} version=${BASH_REMATCH[2]}
        fi
        installed=$(dpkg-query -W -f='${db:Status-Abbrev} ${Version}\n' "$name" 2>/dev/null |
            awk '$1 == "ii" { print $2; exit }')
        if [ -z "$installed" ]; then
            missing+=("$dependency")
        elif [ -n "$op" ] && ! dpkg --compare-versions "$installed" "$op" "$version"; then
            missing+=("$dependency (installed: $installed)")
        fi
    done < <(printf '%s\n' "$field" | sed 's/, */\n/g')
    [ ${#missing[@]} -eq 0 ] ||
        e2e_fail "the package needs what this machine lacks: ${missing[*]} (scripts/setup.sh installs it)"
}

# ---- preconditions: skip rather than disturb the machine ----------------------------------

[ "$(id -u)" -eq 0 ] || skip "not root (the test installs the package into /usr)"
for tool in dpkg dpkg-deb dpkg-query cpack dpkg-shlibdeps desktop-file-validate gio xprop lintian \
    hardening-check appstreamcli man; do
    command -v "$tool" >/dev/null || e2e_fail "$tool is missing (scripts/setup.sh installs it)"
done
[ -f "$TEVO_BUILD_DIR/CPackConfig.cmake" ] ||
    e2e_fail "$TEVO_BUILD_DIR/CPackConfig.cmake is missing; configure the build first"
dpkg_idle || skip "dpkg is busy (another installation holds its lock)"
if [ -e "$MARKER" ]; then
    owner=$(marker_owner) && skip "another run of this test (process $owner) has the package installed"
    e2e_log "an earlier run was stopped before its clean-up; removing what it installed"
    remove_package
fi
! package_known ||
    skip "$PACKAGE is already on this machine (dpkg status '$(package_status)'); the test does not replace it"

e2e_setup
trap package_exit EXIT

# ---- the package as built -----------------------------------------------------------------

out=$E2E_ROOT/package
timeout 120 cpack --config "$TEVO_BUILD_DIR/CPackConfig.cmake" -B "$out" >"$E2E_ROOT/logs/cpack.log" 2>&1 ||
    e2e_fail "cpack failed (see $E2E_ROOT/logs/cpack.log)"
debs=("$out"/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || e2e_fail "cpack did not write exactly one .deb in $out"
deb=${debs[0]}

e2e_expect_eq "package name" "$PACKAGE" "$(dpkg-deb -f "$deb" Package)"
version=$(dpkg-deb -f "$deb" Version)
e2e_expect_eq "package file name" "${PACKAGE}_${version}_$(dpkg --print-architecture).deb" \
    "$(basename "$deb")"
for field in Maintainer Description Section; do
    [ -n "$(dpkg-deb -f "$deb" "$field")" ] || e2e_fail "the package has no $field field"
done
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6gui6 libqt6core6 libsqlite3-0 libcurl4 fonts-arphic-uming xdg-utils; do
    printf '%s\n' "$depends" | sed 's/, */\n/g' | grep -Eq "^$needed( |$)" ||
        e2e_fail "Depends lacks $needed: $depends"
done

# Exactly these files, nothing from the tests, the demo or the build tools. The Windows
# programs for Wine installations are there when the build had the MinGW-w64 compiler.
PKG_FILES=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }' | sort)
windows_files=
if [ -f "$TEVO_BUILD_DIR/src/tevo-winebridge.exe" ]; then
    windows_files=$'/usr/libexec/tevo/tevo-winebridge.exe\n/usr/share/tevo/windows/tevo-menu.exe'
fi
expected_files=$(
    sed '/^$/d' <<EOF | sort
/usr/bin/tevo-menu
/usr/bin/tevo-profile
/usr/bin/tevo-settings
/usr/share/applications/tevo-menu.desktop
/usr/share/bash-completion/completions/tevo-profile
/usr/share/bash-completion/completions/tevo-settings
/usr/share/doc/tevo-menu/changelog.gz
/usr/share/doc/tevo-menu/copyright
/usr/share/icons/hicolor/32x32/apps/tevo-menu.png
/usr/share/icons/hicolor/48x48/apps/tevo-menu.png
/usr/share/icons/hicolor/64x64/apps/tevo-menu.png
/usr/share/icons/hicolor/128x128/apps/tevo-menu.png
/usr/share/icons/hicolor/256x256/apps/tevo-menu.png
/usr/share/man/man1/tevo-menu.1.gz
/usr/share/man/man1/tevo-profile.1.gz
/usr/share/man/man1/tevo-settings.1.gz
$(cd "$TEVO_BUILD_DIR/packaging" && printf '/usr/share/metainfo/%s\n' *.metainfo.xml)
$windows_files
EOF
)
[ "$PKG_FILES" = "$expected_files" ] ||
    e2e_fail "the package holds other files than expected:
$(diff <(printf '%s\n' "$expected_files") <(printf '%s\n' "$PKG_FILES") || true)"
while IFS= read -r file; do
    [ ! -e "$file" ] || skip "$file exists already (installed by hand?); the test does not overwrite it"
done <<<"$PKG_FILES"

expect_dependencies_installed "$depends"

# Debian's own checks: lintian reports nothing above "info" (its full report is kept in the
# log), and the AppStream metadata validates together with the desktop entry it launches.
lintian_log=$E2E_ROOT/logs/lintian.log
lintian --display-info --fail-on error,warning "$deb" >"$lintian_log" 2>&1 ||
    e2e_fail "lintian reports errors or warnings:
$(cat "$lintian_log")"
! grep -E '^[EW]: ' "$lintian_log" || e2e_fail "lintian reports errors or warnings (see above)"
sed 's/^/    /' "$lintian_log" >&2
tree=$E2E_ROOT/package-tree
dpkg-deb -x "$deb" "$tree"
appstream_log=$E2E_ROOT/logs/appstream.log
appstreamcli validate-tree --no-net --pedantic "$tree" >"$appstream_log" 2>&1 ||
    e2e_fail "appstreamcli rejects the metadata: $(cat "$appstream_log")"
! grep -E '^[EW]: ' "$appstream_log" || e2e_fail "appstreamcli warns about the metadata (see above)"
e2e_pass "lintian and appstreamcli accept the package"

# ---- install -----------------------------------------------------------------------------

dpkg_idle || skip "dpkg is busy (another installation holds its lock)"
echo "$$ $version" >"$MARKER"
PKG_INSTALLED_BY_TEST=1
if ! timeout 60 dpkg -i "$deb" >"$E2E_ROOT/logs/dpkg-install.log" 2>&1; then
    grep -q lock "$E2E_ROOT/logs/dpkg-install.log" && ! package_known &&
        skip "dpkg became busy before the install"
    e2e_fail "dpkg -i failed (see $E2E_ROOT/logs/dpkg-install.log)"
fi
e2e_expect_eq "dpkg status after the install" "ii " "$(package_status)"
e2e_expect_eq "installed version" "$version" "$(dpkg-query -W -f='${Version}' "$PACKAGE")"
e2e_pass "dpkg -i installed $PACKAGE $version"

# ---- the installed files -----------------------------------------------------------------

for tool in tevo-settings tevo-profile; do
    out_text=$(/usr/bin/$tool --version) || e2e_fail "$tool --version failed"
    e2e_expect_eq "$tool --version" "$tool $version" "$out_text"
    help_text=$(/usr/bin/$tool --help) || e2e_fail "$tool --help failed"
    [[ $help_text == *用法* && $help_text == *"$tool"* ]] ||
        e2e_fail "$tool --help does not explain its use: $help_text"
done

# Debian's hardening, checked on the installed programs. Control-flow protection is not asked
# for: Debian 12's C start-up files carry no CET mark, so no program of the release has it.
hardening-check --nocfprotection /usr/bin/tevo-menu /usr/bin/tevo-settings /usr/bin/tevo-profile \
    >"$E2E_ROOT/logs/hardening.log" 2>&1 ||
    e2e_fail "hardening-check fails: $(cat "$E2E_ROOT/logs/hardening.log")"

# The manual pages open by name; bash-completion finds each tool's completion by its name.
for page in tevo-menu tevo-settings tevo-profile; do
    e2e_expect_eq "file of 'man $page'" "/usr/share/man/man1/$page.1.gz" "$(man -w "$page")"
    name_line=$(MANWIDTH=200 man -P cat "$page" 2>"$E2E_ROOT/logs/man-$page.log" |
        sed -n '/^NAME/{n;p;q}' | sed 's/^ *//')
    [[ $name_line == "$page - "* ]] || e2e_fail "man $page shows no NAME line: '$name_line'"
    [ ! -s "$E2E_ROOT/logs/man-$page.log" ] ||
        e2e_fail "man $page complains: $(cat "$E2E_ROOT/logs/man-$page.log")"
done
for tool in tevo-settings tevo-profile; do
    loaded=$(bash -c 'source /usr/share/bash-completion/bash_completion
        __load_completion "$1" && complete -p "$1"' bash "$tool") ||
        e2e_fail "bash-completion finds no completion for $tool"
    [[ $loaded == "complete -F "*" $tool" ]] || e2e_fail "completion of $tool: $loaded"
done
e2e_pass "installed programs hardened, manual pages open, completions load"

entry=/usr/share/applications/tevo-menu.desktop
desktop-file-validate "$entry" || e2e_fail "$entry is not a valid desktop entry"
entry_value() { sed -n "s/^$1=//p" "$entry"; }
e2e_expect_eq "Name of the desktop entry" "Tevo 保養廠管理系統" "$(entry_value Name)"
e2e_expect_eq "Name[zh_TW] of the desktop entry" "Tevo 保養廠管理系統" "$(entry_value 'Name\[zh_TW\]')"
icon=$(entry_value Icon)
for size in 32 48 64 128 256; do
    file=/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png
    [ -f "$file" ] || e2e_fail "no icon $file for the desktop entry's Icon=$icon"
    e2e_expect_eq "size of $file" "${size}x${size}" "$(png_size "$file")"
done
e2e_expect_eq "program of the desktop entry" tevo-menu "$(entry_value Exec)"

# ---- the installed menu, started as the desktop's application list starts it ---------------

# The running menu started from the desktop entry: /usr/bin/tevo-menu in the test's folder.
installed_menu_started()
{
    local link pid
    for link in /proc/[0-9]*/exe; do
        [ "$(readlink "$link" 2>/dev/null)" = /usr/bin/tevo-menu ] || continue
        pid=${link#/proc/}
        pid=${pid%/exe}
        if [ "$(readlink "/proc/$pid/cwd" 2>/dev/null)" = "$E2E_WORK" ]; then
            E2E_MENU_PID=$pid
            return 0
        fi
    done
    return 1
}

e2e_start_xvfb
# The login context as the entry program leaves it, written with the installed store tool.
build_settings=$E2E_SETTINGS
E2E_SETTINGS=/usr/bin/tevo-settings
e2e_seed_login 1
E2E_SETTINGS=$build_settings
e2e_install_standins GARVO.exe

# gio launches a desktop entry as the desktop does: Exec= found on PATH, started in the
# launcher's working folder (the entry has no Path=), detached from the launcher.
(cd "$E2E_WORK" && exec gio launch "$entry") >"$E2E_ROOT/logs/gio-launch.log" 2>&1 ||
    e2e_fail "gio launch $entry failed (see $E2E_ROOT/logs/gio-launch.log)"
e2e_wait_until "$E2E_TIMEOUT" "no /usr/bin/tevo-menu runs in $E2E_WORK after gio launch" \
    installed_menu_started
E2E_PIDS+=("$E2E_MENU_PID")
window=$(e2e_wait_menu_window 20)
e2e_expect_eq "title of the installed menu" "Tevo 保養廠管理系統(主目錄)" "$(xdotool getwindowname "$window")"
wm_class=$(xprop -id "$window" WM_CLASS)
[[ $wm_class == *'"tevo-menu"'* ]] ||
    e2e_fail "the window's WM_CLASS does not name tevo-menu (StartupWMClass of the entry): $wm_class"
icons=$(xprop -id "$window" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | sort -u | tr '\n' ' ')
e2e_expect_eq "window icon sizes" "Icon (32 x 32) " "$icons"
e2e_pass "the desktop entry started the installed menu in $E2E_WORK"

# Closing the window leaves for the entry program, as on any installation.
e2e_close_window "$window"
e2e_wait_record GARVO.exe >/dev/null
e2e_wait_exit "$E2E_MENU_PID" "$E2E_TIMEOUT" "the installed menu"
e2e_wait_programs_done

# ---- remove ------------------------------------------------------------------------------

timeout 60 dpkg -r "$PACKAGE" >"$E2E_ROOT/logs/dpkg-remove.log" 2>&1 ||
    e2e_fail "dpkg -r failed (see $E2E_ROOT/logs/dpkg-remove.log)"
PKG_INSTALLED_BY_TEST=0
rm -f "$MARKER"
! package_known || e2e_fail "dpkg still knows $PACKAGE after the removal (status '$(package_status)')"
left=$(while IFS= read -r file; do [ ! -e "$file" ] || echo "$file"; done <<<"$PKG_FILES")
[ -z "$left" ] || e2e_fail "files left after dpkg -r: $left"
e2e_pass "dpkg -r removed $PACKAGE and all its files"
