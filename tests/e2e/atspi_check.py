#!/usr/bin/python3
"""What a screen reader finds in the running menu, through the real AT-SPI client (pyatspi).

    atspi_check.py window PID NOTICE   the main window: its controls and their names
    atspi_check.py message PID         a message box of the menu: its only button

Each check polls with a generous deadline (the machine may be busy) and exits 1 with a message
that says what it found instead.
"""

import sys
import time

import pyatspi
from gi.repository import GLib

TITLE = "Tevo 保養廠管理系統(主目錄)"
# The button column as the user reads it on screen, top to bottom.
COLUMN = ["開立新工單", "結帳登記", "開立進貨單", "付款登記", "營業查詢", "客戶新增", "離開 Ctrl+Q"]
COUNTDOWN = "離開主畫面剩餘時間"
NOTICE_TOOLTIP = "系統通告"
DEADLINE = 60  # seconds
# How long the notice line is watched after events are seen to arrive: twenty scroll steps.
WATCH_SECONDS = 2.0


def fail(message):
    print(f"FAIL atspi_check: {message}", file=sys.stderr)
    sys.exit(1)


def poll(what, find, timeout=DEADLINE):
    deadline = time.monotonic() + timeout
    while True:
        try:
            found = find()
        except Exception as error:  # the tree changes under us while the window comes up
            found, last_error = None, error
        else:
            last_error = None
        if found:
            return found
        if time.monotonic() > deadline:
            fail(f"{what} (waited {timeout} s; last error: {last_error})")
        time.sleep(0.2)


def application(pid):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def descendants(accessible):
    """Every accessible below `accessible`, depth first, leaving out the menus."""
    for child in accessible:
        if child is None:
            continue
        yield child
        if child.getRole() not in (pyatspi.ROLE_MENU_BAR, pyatspi.ROLE_MENU):
            yield from descendants(child)


def describe(accessible):
    return f"{accessible.getRoleName()} {accessible.name!r}"


def main_window(pid):
    app = poll(f"process {pid} is not on the AT-SPI desktop", lambda: application(pid))

    def frame():
        app.clear_cache()
        return next((w for w in app if w is not None and w.name == TITLE and
                     w.getRole() == pyatspi.ROLE_FRAME), None)

    return poll(f"no window {TITLE!r} among the menu's accessibles", frame)


def controls_of(window):
    found = list(descendants(window))
    return found if any(a.getRole() == pyatspi.ROLE_PROGRESS_BAR for a in found) else None


def only(items, what):
    if len(items) != 1:
        fail(f"expected one {what}, found {[describe(i) for i in items]}")
    return items[0]


def check_window(pid, notice):
    window = main_window(pid)
    # The window's controls come up with it; wait until the last of them is there.
    controls = poll("the countdown bar did not appear", lambda: controls_of(window))

    buttons = [a for a in controls if a.getRole() == pyatspi.ROLE_PUSH_BUTTON]
    unnamed = [describe(b) for b in buttons if not b.name.strip()]
    if len(buttons) < len(COLUMN) + 1 or unnamed:
        fail(f"push buttons {[describe(b) for b in buttons]}, without a name: {unnamed}")
    first = only([b for b in buttons if b.name == COLUMN[0]], f"button {COLUMN[0]}")
    column = [c.name for c in first.parent if c is not None]
    if column != COLUMN:
        fail(f"button column in the order {column}, expected {COLUMN}")

    bar = only([a for a in controls if a.getRole() == pyatspi.ROLE_PROGRESS_BAR], "countdown bar")
    value = bar.queryValue()
    if bar.name != COUNTDOWN or (value.minimumValue, value.maximumValue) != (0, 100) \
            or not 0 < value.currentValue <= 100:
        fail(f"countdown bar {describe(bar)} with value {value.currentValue} in "
             f"{value.minimumValue}..{value.maximumValue}")

    images = [a for a in controls if a.getRole() == pyatspi.ROLE_IMAGE]
    if sorted(i.name for i in images) != sorted(["廣告", "背景圖片"]):
        fail(f"pictures {[describe(i) for i in images]}, expected the banner 廣告 and the background")

    line = only([a for a in controls if a.description == NOTICE_TOOLTIP], "notice line")
    if line.name != notice:
        fail(f"notice line named {line.name!r}, expected the whole notice {notice!r}")
    watch_notice_line(line, bar, notice)
    print(f"ok: {len(buttons)} named push buttons, column {COLUMN}, {describe(bar)}, "
          f"{[describe(i) for i in images]}, {describe(line)}")


def watch_notice_line(line, bar, notice):
    """The notice line scrolls ten steps a second: its name must not change with them.

    Counting starts once the countdown bar's value changes are seen to arrive, which shows that
    the menu sends this listener its events; from then the line is watched for twenty steps."""
    seen = {"values": 0, "names": [], "since": None}
    loop = GLib.MainLoop()

    def on_event(event):
        try:
            if event.type.startswith("object:property-change:accessible-value") and \
                    event.source.name == COUNTDOWN:
                seen["values"] += 1
                if seen["since"] is None:
                    seen["since"] = time.monotonic()
            elif event.type.startswith("object:property-change:accessible-name") and \
                    seen["since"] is not None and event.source.description == NOTICE_TOOLTIP:
                seen["names"].append(event.source.name)
        except Exception:  # a source gone meanwhile is no event of the line
            pass

    def check_time():
        if seen["since"] is not None and time.monotonic() - seen["since"] >= WATCH_SECONDS:
            loop.quit()
            return False
        if time.monotonic() > deadline:
            loop.quit()
            return False
        return True

    deadline = time.monotonic() + DEADLINE
    pyatspi.Registry.registerEventListener(on_event, "object:property-change:accessible-value",
                                           "object:property-change:accessible-name")
    GLib.timeout_add(100, check_time)
    loop.run()
    pyatspi.Registry.deregisterEventListener(on_event, "object:property-change:accessible-value",
                                             "object:property-change:accessible-name")
    if seen["since"] is None:
        fail(f"no value change of the countdown bar arrived in {DEADLINE} s: no events to judge by")
    if seen["names"] or line.name != notice:
        fail(f"the notice line renamed itself {len(seen['names'])} times while it scrolled "
             f"(first {seen['names'][:3]}), now {line.name!r}")


def check_message(pid):
    window = main_window(pid)
    app = window.parent

    def message_buttons():
        # The client keeps the list of windows it saw last: ask again.
        app.clear_cache()
        for top in app:
            # The box carries the program's title too.
            if top is None or top.getRole() == pyatspi.ROLE_FRAME:
                continue
            buttons = [a for a in descendants(top) if a.getRole() == pyatspi.ROLE_PUSH_BUTTON]
            if buttons:
                return top, buttons
        return None

    box, buttons = poll("no message box with a button among the menu's windows", message_buttons)
    if [b.name for b in buttons] != ["確定"]:
        fail(f"message box {describe(box)} has the buttons {[describe(b) for b in buttons]}, "
             "expected one, 確定")
    print(f"ok: {describe(box)} with its one button {describe(buttons[0])}")


def main(argv):
    if len(argv) == 4 and argv[1] == "window":
        check_window(int(argv[2]), argv[3])
    elif len(argv) == 3 and argv[1] == "message":
        check_message(int(argv[2]))
    else:
        print(__doc__, file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
