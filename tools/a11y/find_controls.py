#!/usr/bin/env python3
"""Looks up every control of the main, refreshing and settings windows by its
accessible name through AT-SPI, the way a screen reader finds them, and
prints FOUND or MISSING with the role and description of each. The names come
from controls.tsv beside this script (internal name, accessible name, and the
role a screen reader must be told where it matters), which a test keeps in
step with the program.

Also checks that every accessible name is words, not an identifier; that the
main window is a frame and the settings window a dialog; opens the settings
window through its image's press action, as a screen reader user would; and,
when the program shows a site (--site-url), that the texts which change reach
the screen reader: the status line after a click on a row of today's files
(announced with a description change), and the site's tag line.

Needs a running program on the session's accessibility bus and xdotool on
the virtual display; scripts/check-accessibility sets that up. Exit status: 0
when every name is found and every check holds, 1 when not, 2 when the
program could not be reached.
"""

import argparse
import os
import re
import subprocess
import sys
import time
import urllib.request

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

APP_NAME = "Zorvane Software Updates and News"

TABLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "controls.tsv")


def read_table(path):
    """(internal name, accessible name, role) rows, in the table's order; the
    role is the AT-SPI role name, empty where any role will do."""
    with open(path, encoding="utf-8") as table:
        lines = table.read().splitlines()
    if not lines or lines[0] != "name\taccessible_name\trole":
        raise SystemExit(f"find_controls: {path} does not start with the header line")
    rows = []
    for number, line in enumerate(lines[1:], start=2):
        if not line:
            continue
        cells = line.split("\t")
        if len(cells) != 3:
            raise SystemExit(f"find_controls: {path}:{number}: want three cells, got {len(cells)}")
        rows.append((cells[0], cells[1], cells[2]))
    return rows


def looks_like_identifier(text):
    """An internal name rather than words: "TodayList", "search_box"."""
    return re.fullmatch(r"[A-Za-z_][A-Za-z0-9_]*", text) is not None and re.search(r"[a-z][A-Z]|_", text) is not None


# Rows, cells and headers of lists never hold controls; not descending into
# them keeps a walk short when the lists are full.
LEAF_ROLES = {
    Atspi.Role.TABLE_CELL,
    Atspi.Role.TABLE_COLUMN_HEADER,
    Atspi.Role.TABLE_ROW_HEADER,
    Atspi.Role.LIST_ITEM,
    Atspi.Role.TREE_ITEM,
    Atspi.Role.PAGE_TAB,
}

NODE_LIMIT = 20000

# How long the found names must stay the same before the look-up stops
# waiting for the rest.
SETTLE_SECONDS = 2.0


class Found:
    """One control as the accessibility bus shows it."""

    def __init__(self, node, role, description, showing, after_tab=None):
        self.node = node
        self.role = role
        self.description = description
        self.showing = showing
        self.after_tab = after_tab


def is_alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    except PermissionError:
        return True
    return True


def find_application(pid, name, deadline):
    """The program's accessible application, by process id when given, else
    by name; None when it does not show up before the deadline."""
    while time.monotonic() < deadline:
        if pid and not is_alive(pid):
            return None
        desktop = Atspi.get_desktop(0)
        try:
            count = desktop.get_child_count()
            for i in range(count):
                app = desktop.get_child_at_index(i)
                if app is None:
                    continue
                if pid and app.get_process_id() == pid:
                    return app
                if not pid and app.get_name() == name:
                    return app
        except GLib.Error:
            pass  # the registry is still starting, or an application just left
        time.sleep(0.1)
    return None


def walk(app, wanted, after_tab=None):
    """Every wanted name found below `app`, hidden objects included, and the
    page tab lists met on the way."""
    found = {}
    tab_lists = []
    stack = [(app, 0)]
    visited = 0
    while stack and visited < NODE_LIMIT:
        node, depth = stack.pop()
        visited += 1
        try:
            name = node.get_name()
            role = node.get_role()
            # The application's own children are its windows, which speak
            # their captions ("Settings"): only controls count.
            if depth >= 2 and name in wanted and name not in found:
                states = node.get_state_set()
                found[name] = Found(
                    node,
                    node.get_role_name(),
                    node.get_description(),
                    states.contains(Atspi.StateType.SHOWING),
                    after_tab,
                )
            if role == Atspi.Role.PAGE_TAB_LIST:
                tab_lists.append(node)
            if role in LEAF_ROLES:
                continue
            children = [node.get_child_at_index(i) for i in range(node.get_child_count())]
        except GLib.Error:
            continue  # an object that went away during the walk
        stack.extend((child, depth + 1) for child in reversed(children) if child is not None)
    if visited >= NODE_LIMIT:
        print(f"find_controls: stopped the walk after {NODE_LIMIT} objects", file=sys.stderr)
    return found, tab_lists


def is_showing(node):
    try:
        node.clear_cache()
        return node.get_state_set().contains(Atspi.StateType.SHOWING)
    except GLib.Error:
        return False


def window_names(app):
    return [name for name, _ in windows(app)]


def windows(app):
    """(caption, role name) of each window the application shows the bus."""
    try:
        app.clear_cache()
        children = [app.get_child_at_index(i) for i in range(app.get_child_count())]
        return [(w.get_name(), w.get_role_name()) for w in children if w is not None]
    except GLib.Error:
        return []


def press(node):
    """Does the object's "Press" action, as a screen reader would; False when
    it offers none."""
    try:
        if "Action" not in node.get_interfaces():
            return False
        for i in range(node.get_n_actions()):
            if node.get_action_name(i).lower() == "press":
                return node.do_action(i)
    except GLib.Error:
        pass
    return False


def settled_walk(app, wanted, deadline):
    """Walks until every name is found or the walks have agreed for a while:
    the application shows up on the bus before its window has all controls,
    and start-up may be slow (sanitizers, a busy machine)."""
    previous = None
    stable_since = time.monotonic()
    found, tab_lists = {}, []
    while time.monotonic() < deadline:
        app.clear_cache()
        found, tab_lists = walk(app, wanted)
        if len(found) == len(wanted):
            break
        now = time.monotonic()
        if previous != set(found):
            previous = set(found)
            stable_since = now
        elif found and now - stable_since >= SETTLE_SECONDS:
            break
        time.sleep(0.2)
    return found, tab_lists


def select_tab(tab_list, index):
    """Switches pages as a screen reader user would: through the tab list's
    Selection, else the tab's own first action ("Press"). False when neither
    is offered."""
    try:
        if "Selection" in tab_list.get_interfaces() and tab_list.select_child(index):
            return True
        tab = tab_list.get_child_at_index(index)
        if tab is not None and "Action" in tab.get_interfaces() and tab.get_n_actions() > 0:
            return tab.do_action(0)
    except GLib.Error:
        pass
    return False


def current_tab(tab_list):
    """Index of the current tab: the selected one, or where the toolkit marks
    the current tab only as focused (Qt 6.4), the focused one."""
    try:
        tabs = [tab_list.get_child_at_index(i) for i in range(tab_list.get_child_count())]
        tabs = [tab for tab in tabs if tab is not None and tab.get_role() == Atspi.Role.PAGE_TAB]
        for state in (Atspi.StateType.SELECTED, Atspi.StateType.FOCUSED):
            for index, tab in enumerate(tabs):
                if tab.get_state_set().contains(state):
                    return index
    except GLib.Error:
        pass
    return None


def switch_to(tab_list, index, deadline):
    """Selects a tab and waits until the bus shows it as current."""
    if not select_tab(tab_list, index):
        return False
    # The page change reaches the bus asynchronously.
    while time.monotonic() < deadline:
        tab_list.clear_cache()
        if current_tab(tab_list) == index:
            return True
        time.sleep(0.05)
    return False


def find_on_other_tabs(app, tab_lists, found, wanted, deadline):
    """Shows each page of each tab list in turn and walks again, for toolkits
    that expose only the controls of the visible page. Puts the pages back."""
    for tab_list in tab_lists:
        try:
            tabs = [tab_list.get_child_at_index(i) for i in range(tab_list.get_child_count())]
            names = [tab.get_name() for tab in tabs if tab is not None and tab.get_role() == Atspi.Role.PAGE_TAB]
        except GLib.Error:
            continue
        original = current_tab(tab_list)
        for index, tab_name in enumerate(names):
            if len(found) == len(wanted) or time.monotonic() >= deadline:
                break
            if index == original:
                continue
            if not switch_to(tab_list, index, min(deadline, time.monotonic() + 2.0)):
                print(f"find_controls: could not switch to tab {tab_name!r}", file=sys.stderr)
                continue
            app.clear_cache()
            more, _ = walk(app, wanted, after_tab=tab_name)
            found.update({k: v for k, v in more.items() if k not in found})
        if original is not None and current_tab(tab_list) != original:
            switch_to(tab_list, original, min(deadline, time.monotonic() + 2.0))


def click_centre(node):
    """A left click in the middle of an object, as a user would; False when
    it has no place on the screen."""
    try:
        box = node.get_extents(Atspi.CoordType.SCREEN)
    except GLib.Error:
        return False
    if box.width <= 0 or box.height <= 0:
        return False
    x, y = box.x + box.width // 2, box.y + box.height // 2
    return subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], check=False).returncode == 0


def wait_for(condition, seconds):
    """Polls `condition` until it holds or `seconds` pass, delivering bus
    events meanwhile; its last value."""
    end = time.monotonic() + seconds
    value = condition()
    while not value and time.monotonic() < end:
        while GLib.MainContext.default().iteration(False):
            pass
        time.sleep(0.1)
        value = condition()
    return value


def description_of(node):
    try:
        node.clear_cache()
        return node.get_description()
    except GLib.Error:
        return None


def check_changing_texts(found, site_url):
    """The status line and the site's tag line expose the text they show now.
    A list of failures."""
    failures = []
    today, status, tag_line = (found.get(n) for n in ("Today's files", "Status", "Site tag line"))
    if today is None or status is None or tag_line is None:
        return ["the list of today's files, the status line or the tag line is missing"]
    try:
        rows = Atspi.Table.get_n_rows(today.node)
        name_cell = Atspi.Table.get_accessible_at(today.node, 0, 1) if rows > 0 else None
        description = Atspi.Table.get_accessible_at(today.node, 0, 2).get_name() if rows > 0 else ""
    except GLib.Error as error:
        return [f"the rows of today's files cannot be read: {error.message}"]
    if name_cell is None or not description.strip():
        return ["today's files show no row to click (did the first refresh reach the site?)"]
    announced = []

    def on_description(event):
        if event.source is not None and event.source.get_role() == Atspi.Role.STATUS_BAR:
            announced.append(event.source.get_description())

    listener = Atspi.EventListener.new(on_description)
    listener.register("object:property-change:accessible-description")
    if not click_centre(name_cell):
        return ["could not click the first row of today's files"]
    shown = wait_for(lambda: (description_of(status.node) or "").strip() == description.strip(), 5.0)
    print(f"CHANGED  status line after a click on a row: {description_of(status.node)!r}")
    if not shown:
        failures.append(f"the status line does not expose the row's description {description.strip()!r}")
    if not wait_for(lambda: any((text or "").strip() == description.strip() for text in announced), 3.0):
        failures.append("the status line's change was not announced")
    listener.deregister("object:property-change:accessible-description")

    phrase = (description_of(tag_line.node) or "").strip()
    print(f"CHANGED  site tag line: {phrase!r}")
    try:
        with urllib.request.urlopen(site_url.rstrip("/") + "/", timeout=10) as answer:
            page = answer.read().decode("utf-8", "replace")
    except OSError as error:
        return failures + [f"the site's home page cannot be read: {error}"]
    if not phrase or phrase not in page:
        failures.append(f"the tag line does not expose the site's phrase (it says {phrase!r})")
    return failures


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--pid", type=int, default=0, help="process id of the program (else found by name)")
    parser.add_argument("--name", default=APP_NAME, help="application name to look for without --pid")
    parser.add_argument("--timeout", type=float, default=30.0, help="seconds for the whole look-up")
    parser.add_argument("--table", default=TABLE, help="the table of controls and their accessible names")
    parser.add_argument("--site-url", default="", help="the site the program shows; checks the changing texts")
    parser.add_argument(
        "--allow-missing",
        default="",
        help="comma-separated internal names that may be missing without failing (a known toolkit gap)",
    )
    args = parser.parse_args()
    rows = read_table(args.table)
    internal = [name for name, _, _ in rows]
    spoken = {name: accessible for name, accessible, _ in rows}
    roles = {name: role for name, _, role in rows}
    allowed = {n for n in args.allow_missing.split(",") if n}
    unknown = allowed - set(internal)
    if unknown:
        print(f"find_controls: --allow-missing names no control: {', '.join(sorted(unknown))}", file=sys.stderr)
        return 2

    # The names themselves: words a person understands, one control each.
    failures = []
    for name, accessible, _ in rows:
        if not accessible.strip():
            failures.append(f"{name} has an empty accessible name")
        elif looks_like_identifier(accessible) or accessible in internal:
            failures.append(f"{name} is called {accessible!r}, an identifier")
    repeated = sorted({a for a in spoken.values() if list(spoken.values()).count(a) > 1})
    if repeated:
        failures.append(f"accessible names used twice: {', '.join(repeated)}")

    start = time.monotonic()
    deadline = start + args.timeout
    # No single bus call may eat the whole budget.
    Atspi.set_timeout(2000, 5000)
    app = find_application(args.pid, args.name, deadline)
    if app is None:
        who = f"process {args.pid}" if args.pid else repr(args.name)
        print(f"find_controls: {who} did not appear on the accessibility bus", file=sys.stderr)
        return 2

    wanted = set(spoken.values())
    found, tab_lists = settled_walk(app, wanted, deadline)
    # The settings window exists for the bus only once it has been shown:
    # open it as a screen reader user would, with its image's press action.
    settings_image = found.get("Settings")
    if settings_image is not None and len(found) < len(wanted):
        if press(settings_image.node):
            wait_for(lambda: any(n == "Settings" for n in window_names(app)), 5.0)
            app.clear_cache()
            more, _ = settled_walk(app, wanted - set(found), deadline)
            found.update(more)
            # While it is open the main window takes no clicks; close it again.
            close = found.get("Close")
            if close is not None and click_centre(close.node):
                wait_for(lambda: not is_showing(close.node), 5.0)
        else:
            failures.append("the settings image offers no press action")
    if len(found) < len(wanted):
        before = len(found)
        find_on_other_tabs(app, tab_lists, found, wanted, deadline)
        print(
            f"find_controls: {len(wanted) - before} missing after the first passes; "
            f"{len(found) - before} more found after switching through the tabs"
        )

    width = max(len(n) for n in internal)
    missing = []
    for name in internal:
        control = found.get(spoken[name])
        if control is None:
            missing.append(name)
            note = "  (allowed)" if name in allowed else ""
            print(f"MISSING  {name:<{width}}  {spoken[name]!r}{note}")
            continue
        where = "" if control.showing else "  [not showing]"
        if control.after_tab is not None:
            where += f"  [only after switching to tab {control.after_tab!r}]"
        print(f"FOUND    {name:<{width}}  {spoken[name]!r}  {control.role}  {control.description!r}{where}")
        if roles[name] and control.role != roles[name]:
            failures.append(f"{name} is a {control.role!r}, not a {roles[name]!r}")

    # The windows a screen reader lists: a frame, and the settings dialog.
    shown_windows = windows(app)
    for caption, role in shown_windows:
        print(f"WINDOW   {caption!r}  {role}")
    main_role = next((r for c, r in shown_windows if c.startswith(APP_NAME)), None)
    if main_role != "frame":
        failures.append(f"the main window is a {main_role!r}, not a 'frame'")
    settings_role = next((r for c, r in shown_windows if c == "Settings"), "dialog")
    if settings_role != "dialog":
        failures.append(f"the settings window is a {settings_role!r}, not a 'dialog'")

    if args.site_url:
        failures += check_changing_texts(found, args.site_url)

    elapsed = time.monotonic() - start
    print(f"find_controls: {len(found)} of {len(internal)} controls found in {elapsed:.1f} s")
    failing = [n for n in missing if n not in allowed]
    if failing:
        failures.append(f"missing: {' '.join(failing)}")
    elif missing:
        print(f"find_controls: missing but allowed: {' '.join(missing)}")
    exposed = sorted(allowed - set(missing))
    if exposed:
        print(f"find_controls: allowed to be missing but found, drop from --allow-missing: {' '.join(exposed)}")
    for failure in failures:
        print(f"find_controls: {failure}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
