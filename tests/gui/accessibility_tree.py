"""The program as a screen reader sees it over the accessibility bus: prints
the main window's and the help window's trees, and fails when a control that
takes the focus has no name or a documented name is missing. Run inside
dbus-run-session on a display; the argument is the program."""
import os, subprocess, sys, time

import pyatspi

# Containers, and a page's document (named by the page's own title), are
# announced by the named control around them.
CONTAINERS = ("panel", "filler", "scroll pane", "document web")


def wait_for(find, seconds=40):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = find()
        if found is not None:
            return found
        time.sleep(0.25)
    return None


def walk(node, depth=0):
    yield node, depth
    for child in node:
        if child is not None:
            yield from walk(child, depth + 1)


def window_named(name):
    return next((window for app in pyatspi.Registry.getDesktop(0) for window in app or []
                 if window is not None and window.name == name
                 and window.getState().contains(pyatspi.STATE_SHOWING)), None)


def dump_and_check(window, names):
    faults, seen = [], set()
    for node, depth in walk(window):
        states, role = node.getState(), node.getRoleName()
        print("%s%s %r %s" % ("  " * depth, role, node.name, node.description))
        seen.add(node.name)
        if states.contains(pyatspi.STATE_FOCUSABLE) and states.contains(pyatspi.STATE_SHOWING) \
                and not node.name.strip() and role not in CONTAINERS:
            faults.append("a %s with no name" % role)
    return faults + ["no control named %r" % name for name in names if name not in seen]


def start(program):
    """Starts the program, again when it could not even open the display (seen
    once in a while at the end of a long run of GUI tests)."""
    environment = {k: v for k, v in os.environ.items() if k != "NO_AT_BRIDGE"}
    for _ in range(3):
        process = subprocess.Popen([program], env=environment)
        try:
            process.wait(5)
            print("the program ended at once (%d); starting it again" % process.returncode)
        except subprocess.TimeoutExpired:
            return process
    return process


def main(program):
    process = start(program)
    try:
        main_window = wait_for(lambda: window_named("Scoutwell"))
        if main_window is None:
            print("FAULT: the main window never appeared on the accessibility bus")
            return 1
        faults = dump_and_check(main_window, ["Keywords", "Search", "Save", "Help", "Current address"] + [
            f % n for n in range(1, 6) for f in ("Search engine for pane %d", "Open pane %d", "Forward in pane %d",
                                                 "Back in pane %d", "Stop pane %d", "Results, pane %d")])
        help_button = next(node for node, _ in walk(main_window) if node.name == "Help")
        help_button.queryAction().doAction(0)  # as a screen reader's user presses it
        help_window = wait_for(lambda: window_named("Help"))
        faults += dump_and_check(help_window, ["Help text"]) if help_window else ["Help did not open"]
        for fault in faults:
            print("FAULT:", fault)
        return 1 if faults else 0
    finally:
        process.terminate()
        process.wait(10)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
