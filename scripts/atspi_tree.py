#!/usr/bin/python3
"""Reads a running program as a screen reader does, over the accessibility bus (pyatspi).

  atspi_tree.py PID dump [WINDOW-NAME]      the tree of every window (or of one), then a summary
  atspi_tree.py PID press NAME              the press (or toggle) action of the control named NAME
  atspi_tree.py PID set NAME VALUE          sets a slider or spin box through its value interface
  atspi_tree.py PID value NAME              prints the current value of NAME
  atspi_tree.py PID names                   the names of the top-level windows

The summary counts focusable controls without a name, sliders without a value and unnamed
fillers; the exit status is 1 when any is found.
"""
import sys
import time

import pyatspi

SLIDER_ROLES = {pyatspi.ROLE_SLIDER, pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_SCROLL_BAR, pyatspi.ROLE_PROGRESS_BAR}


def application(pid, tries=40):
    for _ in range(tries):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            try:
                if app is not None and app.get_process_id() == pid:
                    return app
            except Exception:
                pass
        time.sleep(0.25)
    sys.exit(f"no application with process {pid} on the accessibility bus")


def walk(node, depth=0):
    yield node, depth
    try:
        count = node.childCount
    except Exception:
        return
    for i in range(count):
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            continue
        if child is not None:
            yield from walk(child, depth + 1)


def value_of(node):
    try:
        v = node.queryValue()
    except NotImplementedError:
        return None
    except Exception:
        return None
    return v


def describe(node):
    role = node.getRoleName()
    name = node.name or ""
    states = node.getState()
    flags = [s for s, label in ((pyatspi.STATE_FOCUSABLE, "focusable"), (pyatspi.STATE_FOCUSED, "focused"),
                                (pyatspi.STATE_CHECKED, "checked"), (pyatspi.STATE_PRESSED, "pressed"),
                                (pyatspi.STATE_EXPANDED, "expanded")) if states.contains(s)]
    labels = {pyatspi.STATE_FOCUSABLE: "focusable", pyatspi.STATE_FOCUSED: "focused", pyatspi.STATE_CHECKED: "checked",
              pyatspi.STATE_PRESSED: "pressed", pyatspi.STATE_EXPANDED: "expanded"}
    if not states.contains(pyatspi.STATE_ENABLED):
        flags.append("disabled")
    text = f'{role} "{name}"'
    v = value_of(node)
    if v is not None:
        text += f" value={v.currentValue:g} [{v.minimumValue:g}..{v.maximumValue:g} step {v.minimumIncrement:g}]"
    if node.description:
        text += f' ({node.description})'
    marks = [labels.get(f, f) for f in flags]
    if marks:
        text += " {" + ", ".join(marks) + "}"
    return text


def windows(app):
    return [app.getChildAtIndex(i) for i in range(app.childCount)]


def find(app, name):
    for win in windows(app):
        for node, _ in walk(win):
            if (node.name or "") == name:
                return node
    sys.exit(f'no control named "{name}"')


def dump(app, only=None):
    unnamed, novalue, fillers, focusable = [], [], [], 0
    for win in windows(app):
        if only and (win.name or "") != only:
            continue
        print(f'== window "{win.name}"')
        for node, depth in walk(win):
            print("  " * depth + describe(node))
            states = node.getState()
            role = node.getRole()
            if states.contains(pyatspi.STATE_FOCUSABLE):
                focusable += 1
                if not (node.name or "").strip():
                    unnamed.append(describe(node))
                if role == pyatspi.ROLE_FILLER:
                    fillers.append(describe(node))
            if role in SLIDER_ROLES and value_of(node) is None:
                novalue.append(describe(node))
    print(f"-- {focusable} focusable controls; {len(unnamed)} without a name; "
          f"{len(novalue)} sliders/spin boxes/bars without a value; {len(fillers)} focusable fillers")
    for line in unnamed + novalue + fillers:
        print("   problem: " + line)
    return 1 if (unnamed or novalue or fillers) else 0


def press(node):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    for wanted in ("Press", "press", "Toggle", "toggle", "click"):
        if wanted in names:
            action.doAction(names.index(wanted))
            return
    sys.exit(f'"{node.name}" has no press action ({names})')


def main():
    pid = int(sys.argv[1])
    command = sys.argv[2]
    app = application(pid)
    if command == "dump":
        sys.exit(dump(app, sys.argv[3] if len(sys.argv) > 3 else None))
    if command == "names":
        for win in windows(app):
            print(win.name)
    elif command == "press":
        press(find(app, sys.argv[3]))
    elif command == "set":
        node = find(app, sys.argv[3])
        node.queryValue().currentValue = float(sys.argv[4])
        print(describe(node))
    elif command == "value":
        print(describe(find(app, sys.argv[3])))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
