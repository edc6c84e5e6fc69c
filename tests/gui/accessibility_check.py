"""Walks the program's windows as a screen reader does, over AT-SPI.

Every window must be a frame or dialog named by its title, and every control
a user can act on must carry a name and be reachable from the keyboard. The
walk signs in (a wrong password first, for a message dialog) and reaches the
main window with a report shown.
"""
import os
import subprocess
import sys
import time

import pyatspi

PROGRAM, DATA = sys.argv[1], sys.argv[2]
CONTROLS = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_TEXT,
    pyatspi.ROLE_PASSWORD_TEXT, pyatspi.ROLE_ENTRY, pyatspi.ROLE_TABLE, pyatspi.ROLE_PAGE_TAB,
    pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_LIST,
}
failures = []
APP = []


def fail(what):
    failures.append(what)
    print("FAIL:", what)


def wait_for(what, find, seconds=20):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = find()
        if found is not None:
            return found
        time.sleep(0.25)
    print("FAIL: gave up waiting for", what)
    if APP:
        for w in APP[0]:
            if w is not None:
                print("   a window:", w.getRoleName(), repr(w.name), "showing" if showing(w) else "hidden")
    sys.exit(1)


def tree(acc):
    yield acc
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None:
            yield from tree(child)


def showing(acc):
    states = acc.getState()
    return states.contains(pyatspi.STATE_SHOWING) and states.contains(pyatspi.STATE_VISIBLE)


def app_of(pid):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def window(app, title):
    for w in app:
        if w is not None and w.name == title and showing(w):
            return w
    return None


def dialog_of(app):
    for w in app:
        if w is not None and w.getRole() == pyatspi.ROLE_DIALOG and showing(w):
            return w
    return None


def control(win, name, roles=None):
    for acc in tree(win):
        if acc.name == name and showing(acc) and (roles is None or acc.getRole() in roles):
            return acc
    return None


def check_window(win, role, what):
    """The window's role and name, then every control shown in it."""
    print(f"{what}: {win.getRoleName()} '{win.name}'")
    if win.getRole() != role:
        fail(f"{what} is a {win.getRoleName()}, not a {role}")
    names = []
    for acc in tree(win):
        if acc is win or acc.getRole() not in CONTROLS or not showing(acc):
            continue
        states = acc.getState()
        label = f"{acc.getRoleName()} '{acc.name}'"
        names.append(acc.name)
        if not acc.name.strip():
            fail(f"{what}: a {acc.getRoleName()} has no name")
        # A text that is only shown (the control number) is read, not reached.
        shown_only = acc.getRole() == pyatspi.ROLE_TEXT and (states.contains(pyatspi.STATE_READ_ONLY)
                                                            or not states.contains(pyatspi.STATE_EDITABLE))
        if states.contains(pyatspi.STATE_SENSITIVE) and not states.contains(pyatspi.STATE_FOCUSABLE) \
                and acc.getRole() != pyatspi.ROLE_PAGE_TAB and not shown_only:
            fail(f"{what}: {label} cannot take the keyboard focus")
        print("  ", label)
    if not names:
        fail(f"{what}: no controls found")
    return names


def press(acc):
    action = acc.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("Press", "press", "click"):
            action.doAction(i)
            return
    action.doAction(0)


def type_into(acc, text):
    acc.queryEditableText().setTextContents(text)


def column_headers(table):
    t = table.queryTable()
    return [t.getColumnDescription(i) or (t.getColumnHeader(i).name if t.getColumnHeader(i) else "")
            for i in range(t.nColumns)]


def main():
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1366x768x24", "-nolisten", "tcp"],
                            stdout=subprocess.PIPE)
    display = xvfb.stdout.readline().decode().strip()
    env = dict(os.environ, DISPLAY=":" + display, QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    helpers = [xvfb]
    if subprocess.run(["which", "openbox"], capture_output=True).returncode == 0:
        helpers.append(subprocess.Popen(["openbox"], env=env, stderr=subprocess.DEVNULL))
    os.environ["DISPLAY"] = env["DISPLAY"]
    kestrova = subprocess.Popen([PROGRAM, "--data-dir", DATA], env=env)
    try:
        app = wait_for("the program on the accessibility bus", lambda: app_of(kestrova.pid))
        APP.append(app)
        title = wait_for("the title window", lambda: window(app, "Kestrova - Title Window"))
        sign_in = wait_for("Sign In", lambda: control(title, "Sign In", {pyatspi.ROLE_PUSH_BUTTON}))
        check_window(title, pyatspi.ROLE_FRAME, "title window")
        press(sign_in)

        # A workstation's first sign-in shows the overview first.
        overview = wait_for("the overview or the administrative window", lambda: dialog_of(app) or window(
            app, "Kestrova - Administrative Window"))
        if overview.getRole() == pyatspi.ROLE_DIALOG:
            check_window(overview, pyatspi.ROLE_DIALOG, "overview")
            press([a for a in tree(overview) if a.getRole() == pyatspi.ROLE_PUSH_BUTTON and showing(a)][-1])
        admin = wait_for("the administrative window", lambda: window(app, "Kestrova - Administrative Window"))
        chosen = wait_for("the user button", lambda: control(admin, "Sign in the Highlighted User"))
        check_window(admin, pyatspi.ROLE_FRAME, "administrative window")
        users = control(admin, "User List", {pyatspi.ROLE_TABLE})
        if users is None or column_headers(users)[:3] != ["User List", "Access Level", "Date Created"]:
            fail("the user list has not its column headers: "
                 + (str(column_headers(users)) if users else "no table named 'User List'"))
        press(chosen)
        password = wait_for("the password box", lambda: control(admin, "Password", {pyatspi.ROLE_PASSWORD_TEXT}))
        check_window(admin, pyatspi.ROLE_FRAME, "administrative window, password")
        type_into(password, "wrong1")
        press(wait_for("Sign In", lambda: control(admin, "Sign In", {pyatspi.ROLE_PUSH_BUTTON})))

        def message():
            return dialog_of(app)
        dialog = wait_for("a message dialog", message)
        check_window(dialog, pyatspi.ROLE_DIALOG, "message dialog")
        if not dialog.name.strip():
            fail("the message dialog has no name")
        texts = [a.name for a in tree(dialog) if a.getRole() == pyatspi.ROLE_LABEL and showing(a)]
        print("   message:", texts)
        if not any(t.strip() for t in texts):
            fail("the message dialog's text is not readable")
        buttons = [a for a in tree(dialog) if a.getRole() == pyatspi.ROLE_PUSH_BUTTON and showing(a)]
        press(buttons[0])
        wait_for("the message dialog to close", lambda: None if message() else True)

        type_into(wait_for("the password box", lambda: control(admin, "Password")), "kestrel4")
        press(wait_for("Sign In", lambda: control(admin, "Sign In", {pyatspi.ROLE_PUSH_BUTTON})))
        main_window = wait_for("the main window", lambda: window(app, "Kestrova"))
        wait_for("the list", lambda: control(main_window, "Reports", {pyatspi.ROLE_TABLE}))
        names = check_window(main_window, pyatspi.ROLE_FRAME, "main window")
        headers = column_headers(control(main_window, "Reports", {pyatspi.ROLE_TABLE}))
        print("   list columns:", headers)
        if headers[:2] != ["Case Number", "Date Entered"]:
            fail(f"the list's column headers are {headers}")
        for field in ("Case Number", "Title or Descriptive Remarks", "This Report Made by", "Date Entered"):
            if field not in names:
                fail(f"the report form has no field named '{field}'")
        fields = [a.name for a in tree(main_window) if a.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY)]
        for field in ("Person 2 - Context", "Incident report narrative", "Investigative case notes, etc."):
            if not any(f == field for f in fields):
                fail(f"no field named '{field}' on the form's other tabs")
    finally:
        kestrova.kill()
        kestrova.wait()
        for h in reversed(helpers):
            h.terminate()
            h.wait()
    if failures:
        print(len(failures), "failure(s)")
        sys.exit(1)
    print("every window and control is named")


main()
