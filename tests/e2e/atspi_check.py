#!/usr/bin/python3
"""What a screen reader finds in the running menu, through the real AT-SPI client (pyatspi).

    atspi_check.py window PID NOTICE   the main window: its controls and their names
    atspi_check.py message PID         a message box of the menu: its buttons in Chinese
    atspi_check.py label PID TEXT      a label of the main window whose text holds TEXT
    atspi_check.py text PID TEXT       a label of any of the menu's windows that holds TEXT

Every lookup polls with a generous deadline (the machine may be busy); a failed check exits 1
saying what was found instead.
"""

import sys
import time

import pyatspi
from gi.repository import GLib

TITLE = "Tevo 保養廠管理系統(主目錄)"
COLUMN = ["開立新工單", "結帳登記", "開立進貨單", "付款登記", "營業查詢", "客戶新增", "離開 Ctrl+Q"]
COUNTDOWN = "離開主畫面剩餘時間"
NOTICE_TOOLTIP = "系統通告"
DEADLINE = 60  # seconds
NAME, VALUE = "object:property-change:accessible-name", "object:property-change:accessible-value"


def fail(message):
    sys.exit(f"FAIL atspi_check: {message}")


def poll(what, find):
    deadline = time.monotonic() + DEADLINE
    while True:
        try:
            found = find()
        except Exception:  # the tree changes under us while windows come and go
            found = None
        if found:
            return found
        if time.monotonic() > deadline:
            fail(f"{what} (waited {DEADLINE} s)")
        time.sleep(0.2)


def tops(pid):
    """The menu's windows; the client keeps the list it saw last, so ask afresh."""
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            app.clear_cache()
            return [w for w in app if w is not None]
    return []


def descendants(accessible):
    """Every accessible below `accessible`, leaving out the menus."""
    for child in accessible:
        if child is not None:
            yield child
            if child.getRole() not in (pyatspi.ROLE_MENU_BAR, pyatspi.ROLE_MENU):
                yield from descendants(child)


def of_role(accessibles, role):
    return [a for a in accessibles if a.getRole() == role]


def shown(accessibles):
    return [f"{a.getRoleName()} {a.name!r}" for a in accessibles]


def check_window(pid, notice):
    def controls():
        frame = next(w for w in tops(pid) if w.getRole() == pyatspi.ROLE_FRAME and w.name == TITLE)
        found = list(descendants(frame))
        return found if of_role(found, pyatspi.ROLE_PROGRESS_BAR) else None

    found = poll(f"no window {TITLE!r} with its countdown bar on the AT-SPI desktop", controls)
    buttons = of_role(found, pyatspi.ROLE_PUSH_BUTTON)
    if len(buttons) != len(COLUMN) + 1 or not all(b.name.strip() for b in buttons):
        fail(f"push buttons {shown(buttons)}: eight, each with a name, expected")
    first = next(b for b in buttons if b.name == COLUMN[0])
    if [c.name for c in first.parent] != COLUMN:
        fail(f"button column in the order {[c.name for c in first.parent]}, expected {COLUMN}")
    [bar] = of_role(found, pyatspi.ROLE_PROGRESS_BAR)
    value = bar.queryValue()
    if bar.name != COUNTDOWN or value.maximumValue != 100 or not 0 < value.currentValue <= 100:
        fail(f"countdown bar {shown([bar])} at {value.currentValue} of {value.maximumValue}")
    images = sorted(i.name for i in of_role(found, pyatspi.ROLE_IMAGE))
    if images != ["廣告", "背景圖片"]:
        fail(f"pictures named {images}, expected the banner 廣告 and the background")
    [line] = [a for a in found if a.description == NOTICE_TOOLTIP]
    if line.name != notice:
        fail(f"notice line named {line.name!r}, expected the whole notice {notice!r}")
    renames = watch_names(line)
    if renames or line.name != notice:
        fail(f"the notice line renamed itself {len(renames)} times while it scrolled "
             f"(first {renames[:2]}), now {line.name!r}")
    print(f"ok: {shown(buttons)}, {shown([bar])}, {images}, {shown([line])}")


def watch_names(line):
    """The renames of the notice line during twenty scroll steps (two seconds). The watch
    starts with the first value change of the countdown bar that arrives, which shows that the
    menu sends this listener its events."""
    seen = {"since": None, "names": []}

    def on_event(event):
        try:
            if event.type.startswith(VALUE) and event.source.name == COUNTDOWN:
                seen["since"] = seen["since"] or time.monotonic()
            elif event.type.startswith(NAME) and seen["since"] and \
                    event.source.description == NOTICE_TOOLTIP:
                seen["names"].append(event.source.name)
        except Exception:  # a source gone meanwhile is not the notice line
            pass

    started = time.monotonic()
    loop = GLib.MainLoop()

    def keep_watching():
        watching = time.monotonic() - (seen["since"] or started) < (
            2 if seen["since"] else DEADLINE)
        if not watching:
            loop.quit()
        return watching

    GLib.timeout_add(100, keep_watching)
    pyatspi.Registry.registerEventListener(on_event, VALUE, NAME)
    loop.run()
    pyatspi.Registry.deregisterEventListener(on_event, VALUE, NAME)
    if not seen["since"]:
        fail(f"no value change of the countdown bar arrived in {DEADLINE} s: no events to judge by")
    return seen["names"]


def check_message(pid):
    def buttons():
        # The box carries the program's title too; it is not a frame.
        for box in tops(pid):
            if box.getRole() != pyatspi.ROLE_FRAME:
                found = of_role(descendants(box), pyatspi.ROLE_PUSH_BUTTON)
                if found:
                    return box, found
        return None

    box, found = poll("no message box with a button among the menu's windows", buttons)
    # 確定, and a box with details also 顯示詳情: Qt's texts, none left in English.
    names = [b.name for b in found]
    if "確定" not in names or any(name.isascii() for name in names):
        fail(f"message box {shown([box])} has the buttons {shown(found)}, expected 確定 in Chinese")
    print(f"ok: {shown([box])} with the buttons {shown(found)}")


def check_label(pid, text, main_window_only=True):
    def labels():
        for top in tops(pid):
            if not main_window_only or top.getRole() == pyatspi.ROLE_FRAME and top.name == TITLE:
                found = [a for a in of_role(descendants(top), pyatspi.ROLE_LABEL) if text in a.name]
                if found:
                    return found
        return None

    where = f"the window {TITLE!r}" if main_window_only else "the menu's windows"
    print(f"ok: {shown(poll(f'no label holding {text!r} in {where}', labels))}")


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "window":
        check_window(int(sys.argv[2]), sys.argv[3])
    elif len(sys.argv) == 4 and sys.argv[1] == "label":
        check_label(int(sys.argv[2]), sys.argv[3])
    elif len(sys.argv) == 4 and sys.argv[1] == "text":
        check_label(int(sys.argv[2]), sys.argv[3], main_window_only=False)
    elif len(sys.argv) == 3 and sys.argv[1] == "message":
        check_message(int(sys.argv[2]))
    else:
        sys.exit(__doc__)
