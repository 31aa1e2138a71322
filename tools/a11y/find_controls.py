#!/usr/bin/env python3
"""Looks up every control of the main window by its accessible name through
AT-SPI, the way a screen reader finds them, and prints FOUND or MISSING with
the role and description of each.

Needs a running program on the session's accessibility bus;
scripts/check-accessibility sets that up. Exit status: 0 when every name is
found, 1 when some are missing, 2 when the program could not be reached.
"""

import argparse
import os
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

APP_NAME = "Zorvane Software Updates and News"

# Mirrors the main window's controls: the accessible name each one gets when
# the window is built, in the order they are created. A control added to or
# renamed in the main window belongs here too.
EXPECTED_NAMES = (
    "VisitSiteImage",
    "DonateImage",
    "SettingsImage",
    "RefreshImage",
    "WinkImage",
    "SearchBox",
    "SearchButton",
    "ContentTabs",
    "TabStripLine",
    "TodayHeader",
    "TodayHeaderLogo",
    "TodayList",
    "YesterdayHeader",
    "YesterdayHeaderLogo",
    "YesterdayList",
    "AppsList",
    "AppsCheckButton",
    "ControlPanelButton",
    "AppsInfoBox",
    "SelectUpdatesButton",
    "StartUpdatesButton",
    "FilterLabel",
    "FilterBox",
    "PlatformCombo",
    "PictureImage",
    "NewsTabs",
    "NewsList",
    "ArticlesList",
    "NewsTabLine",
    "ProductCaption",
    "StatusLine",
)

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

    def __init__(self, role, description, showing, after_tab=None):
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
    stack = [app]
    visited = 0
    while stack and visited < NODE_LIMIT:
        node = stack.pop()
        visited += 1
        try:
            name = node.get_name()
            role = node.get_role()
            if name in wanted and name not in found:
                states = node.get_state_set()
                found[name] = Found(
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
        stack.extend(child for child in reversed(children) if child is not None)
    if visited >= NODE_LIMIT:
        print(f"find_controls: stopped the walk after {NODE_LIMIT} objects", file=sys.stderr)
    return found, tab_lists


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


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--pid", type=int, default=0, help="process id of the program (else found by name)")
    parser.add_argument("--name", default=APP_NAME, help="application name to look for without --pid")
    parser.add_argument("--timeout", type=float, default=30.0, help="seconds for the whole look-up")
    parser.add_argument(
        "--allow-missing",
        default="",
        help="comma-separated names that may be missing without failing (a known toolkit gap)",
    )
    args = parser.parse_args()
    allowed = {n for n in args.allow_missing.split(",") if n}
    unknown = allowed - set(EXPECTED_NAMES)
    if unknown:
        print(f"find_controls: --allow-missing names no control: {', '.join(sorted(unknown))}", file=sys.stderr)
        return 2

    start = time.monotonic()
    deadline = start + args.timeout
    # No single bus call may eat the whole budget.
    Atspi.set_timeout(2000, 5000)
    app = find_application(args.pid, args.name, deadline)
    if app is None:
        who = f"process {args.pid}" if args.pid else repr(args.name)
        print(f"find_controls: {who} did not appear on the accessibility bus", file=sys.stderr)
        return 2

    wanted = set(EXPECTED_NAMES)
    found, tab_lists = settled_walk(app, wanted, deadline)
    if len(found) < len(wanted):
        before = len(found)
        find_on_other_tabs(app, tab_lists, found, wanted, deadline)
        print(
            f"find_controls: {len(wanted) - before} missing on the first pass; "
            f"{len(found) - before} more found after switching through the tabs"
        )

    width = max(len(n) for n in EXPECTED_NAMES)
    missing = []
    for name in EXPECTED_NAMES:
        control = found.get(name)
        if control is None:
            missing.append(name)
            note = "  (allowed)" if name in allowed else ""
            print(f"MISSING  {name}{note}")
            continue
        where = "" if control.showing else "  [not showing]"
        if control.after_tab is not None:
            where += f"  [only after switching to tab {control.after_tab!r}]"
        print(f"FOUND    {name:<{width}}  {control.role:<14}  {control.description!r}{where}")

    elapsed = time.monotonic() - start
    print(f"find_controls: {len(found)} of {len(EXPECTED_NAMES)} controls found in {elapsed:.1f} s")
    failing = [n for n in missing if n not in allowed]
    if failing:
        print(f"find_controls: missing: {' '.join(failing)}")
        return 1
    if missing:
        print(f"find_controls: missing but allowed: {' '.join(missing)}")
    exposed = sorted(allowed - set(missing))
    if exposed:
        print(f"find_controls: allowed to be missing but found, drop from --allow-missing: {' '.join(exposed)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
