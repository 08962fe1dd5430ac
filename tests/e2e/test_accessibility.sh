#!/usr/bin/env bash
# What a screen reader finds in the menu, through the real AT-SPI client (python3-pyatspi) on a
# private D-Bus session with at-spi2-core: the window on the AT-SPI desktop, every push button
# and the countdown bar named, the button column in screen order, the pictures named, the notice
# line named by the whole notice and not renamed while it scrolls, and a message box whose only
# button reads "確定" (Qt's own texts in Traditional Chinese whatever the session's language).
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"

e2e_enter_private_dbus_session "$@"
e2e_setup
[ -f "$E2E_DIR/atspi_check.py" ] || e2e_fail "atspi_check.py is missing"
"$E2E_PYTHON" -c 'import pyatspi' 2>/dev/null ||
    e2e_fail "pyatspi is missing (scripts/setup.sh installs python3-pyatspi)"
e2e_start_xvfb
e2e_start_accessibility_bus
e2e_seed_login 1
# Blanks around the stored notice are not part of it; the line adds more to fill the window.
notice="本週六 14:00 起系統維護，請提早結帳"
e2e_settings set EEYX WE "  $notice  " --section "$E2E_WORK"

# Qt talks to the accessibility bus without waiting for the desktop to ask for it. The session's
# language is not Chinese: the box must be Chinese all the same.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 LANGUAGE=en
e2e_start_menu
window=$(e2e_wait_menu_window)
"$E2E_PYTHON" "$E2E_DIR/atspi_check.py" window "$E2E_MENU_PID" "$notice" ||
    e2e_fail "the main window as a screen reader finds it (above)"
e2e_pass "every button, the countdown bar and the pictures are named; the notice line keeps its name"

# F1 without E2.exe: the menu says it cannot start the program.
e2e_key "$window" F1
message=$(e2e_wait_other_window "$E2E_MENU_PID" "$window")
"$E2E_PYTHON" "$E2E_DIR/atspi_check.py" message "$E2E_MENU_PID" ||
    e2e_fail "the message box as a screen reader finds it (above)"
e2e_key "$message" Return
e2e_wait_window_gone "$message"
e2e_expect_alive "$E2E_MENU_PID" "the menu after the message"
e2e_pass "a message box's button reads 確定"
