# Presses a button or follows a link of a running program by its accessible name, through the
# accessibility bus (AT-SPI), as a screen reader user would: no screen coordinates involved.
# Usage: press.py ROLES NAME [SECONDS]   ROLES: "push button", "toggle button", "link", several
# joined by "|". Exit 0 once pressed.
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

roles, name = sys.argv[1].split("|"), sys.argv[2]
# Answers come at once or, from a page busy with a dialog, not at all: no need for the long default wait.
Atspi.set_timeout(5000, 20000)
deadline = time.monotonic() + float(sys.argv[3] if len(sys.argv) > 3 else 20)


def find(node):
    try:
        if node.get_role_name() in roles and (node.get_name() or "").strip() == name:
            return node
        count = node.get_child_count()
    except Exception:  # an element that went away while being read
        return None
    for i in range(count):
        child = node.get_child_at_index(i)
        found = child and find(child)
        if found:
            return found
    return None


while time.monotonic() < deadline:
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        target = app and find(app)
        if target:
            try:
                Atspi.Action.do_action(target, 0)
            except GLib.Error as error:
                # A button whose click opens a print dialog keeps the page busy until the dialog
                # closes, so its answer never comes; the press itself has been delivered.
                print(f"pressed {name!r}, no answer: {error.message}", file=sys.stderr)
            sys.exit(0)
    time.sleep(0.3)
print(f"no {sys.argv[1]} named {name!r}", file=sys.stderr)
sys.exit(1)
