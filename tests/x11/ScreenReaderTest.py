#!/usr/bin/python3
"""kestrix-edit read by an AT-SPI client, as a screen reader reads it.

Starts its own Xvfb, a private D-Bus session and the accessibility bus, opens a file in
kestrix-edit, then from pyatspi reads the text, follows the caret and the selection as XTest keys
(xdotool) move them, reads a character's extents, hears the text and caret events of typing, and
inserts through the editable text interface. Every wait polls with a deadline. Exits 77 (skipped)
when a tool is missing.

Usage: ScreenReaderTest.py KESTRIX-EDIT
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
LAUNCHER = "/usr/libexec/at-spi-bus-launcher"


def skip(why):
    print("skipped: " + why)
    sys.exit(SKIP)


def outside(edit):
    """Checks the tools, starts Xvfb and runs this script again inside a D-Bus session."""
    for tool in ("Xvfb", "dbus-run-session", "xdotool"):
        if not shutil.which(tool):
            skip(tool + " is not installed (scripts/setup.sh installs it)")
    if not os.access(LAUNCHER, os.X_OK):
        skip("the AT-SPI bus launcher is not installed (at-spi2-core)")
    try:
        import pyatspi  # noqa: F401
    except ImportError:
        skip("python3-pyatspi is not installed (scripts/setup.sh installs it)")
    read, write = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "800x600x24",
                             "-nolisten", "tcp"], pass_fds=(write,), stderr=subprocess.DEVNULL)
    os.close(write)
    number = b""
    with os.fdopen(read, "rb") as pipe:
        number = pipe.readline().strip()
    if not number:
        xvfb.kill()
        skip("Xvfb did not start")
    env = dict(os.environ, DISPLAY=":" + number.decode(), KESTRIX_IN_SESSION="1")
    env.pop("NO_AT_BRIDGE", None)
    try:
        return subprocess.run(["dbus-run-session", "--", sys.executable, __file__, edit],
                              env=env, timeout=120).returncode
    finally:
        xvfb.kill()
        xvfb.wait()


def wait_for(what, check, seconds=10.0, seen=None):
    """Serves the client's events until check() gives a value that is not None or False; seen()
    tells what was there instead when it never does."""
    from gi.repository import GLib
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while True:
        while context.pending():
            context.iteration(False)
        value = check()
        if value is not None and value is not False:
            return value
        if time.monotonic() > end:
            raise AssertionError("timed out waiting for " + what +
                                 (": " + repr(seen()) if seen else ""))
        context.iteration(False)
        time.sleep(0.01)


def inside(edit):
    launcher = subprocess.Popen([LAUNCHER, "--launch-immediately"], stderr=subprocess.DEVNULL)
    editor = None
    try:
        import pyatspi
        heard = []

        def listen(event):
            if event.source and event.source.name == "Document":
                heard.append((event.type, event.detail1, event.detail2, event.any_data))

        pyatspi.Registry.registerEventListener(listen, "object:text-changed",
                                               "object:text-caret-moved")

        folder = tempfile.mkdtemp()
        path = os.path.join(folder, "mixed.txt")
        with open(path, "w", encoding="utf-8") as f:
            f.write("hello عالم\nsecond line")
        editor = subprocess.Popen([edit, "--ltr", path])

        def find_text():
            for app in pyatspi.Registry.getDesktop(0):
                if app is not None and app.name == "kestrix-edit" and app.childCount:
                    frame = app[0]
                    if frame is not None and frame.childCount:
                        return frame, frame[0]
            return None

        frame, document = wait_for("kestrix-edit on the bus", find_text, 30)
        assert document.getRole() == pyatspi.ROLE_TEXT, document.getRoleName()
        assert frame.name == "mixed.txt - kestrix-edit", frame.name
        text = document.queryText()
        assert text.getText(0, -1) == "hello عالم\nsecond line", text.getText(0, -1)
        assert text.characterCount == 22
        assert text.getTextAtOffset(7, pyatspi.TEXT_BOUNDARY_WORD_START)[0] == "عالم\n"

        window = subprocess.run(["xdotool", "search", "--name", "kestrix-edit"], check=True,
                                capture_output=True, text=True).stdout.split()[0]
        subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)

        def key(*names):
            subprocess.run(["xdotool", "key", "--delay", "20"] + list(names), check=True)

        def caret_at(offset):
            return wait_for("the caret at %d" % offset, lambda: text.caretOffset == offset,
                            seen=lambda: text.caretOffset)

        caret_at(0)
        key("End")
        caret_at(10)
        wait_for("caret-moved to 10", lambda: ("object:text-caret-moved", 10) in
                 [(e[0], e[1]) for e in heard])
        key("Down", "End")
        caret_at(22)
        key("Home", "Right")
        caret_at(12)
        key("shift+Right", "shift+Right")
        wait_for("the selection", lambda: text.getNSelections() == 1 and
                 text.getSelection(0) == (12, 14))

        # A character's box lies in the window, and its middle names it.
        x, y, width, height = text.getCharacterExtents(0, pyatspi.DESKTOP_COORDS)
        fx, fy, fwidth, fheight = frame.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        assert width > 0 and height > 0, (width, height)
        assert fx <= x and x + width <= fx + fwidth and fy <= y and y + height <= fy + fheight
        middle = text.getOffsetAtPoint(x + width // 2, y + height // 2, pyatspi.DESKTOP_COORDS)
        assert middle == 0, middle

        # Typing over the selection, then Backspace: each change is heard with its text.
        del heard[:]
        key("x")
        wait_for("the typed x", lambda: text.getText(0, -1) == "hello عالم\nsxond line",
                 seen=lambda: (text.getText(0, -1), heard))
        wait_for("the events of typing", lambda:
                 ("object:text-changed:delete", 12, 2, "ec") in heard and
                 ("object:text-changed:insert", 12, 1, "x") in heard and
                 ("object:text-caret-moved", 13) in [e[:2] for e in heard])
        key("BackSpace")
        wait_for("the deletion heard", lambda: ("object:text-changed:delete", 12, 1, "x") in heard)
        caret_at(12)

        # Editing through the interface takes the keyboard's path.
        assert document.queryEditableText().insertText(0, "Z", 1)
        wait_for("the inserted Z", lambda: text.getText(0, 2) == "Zh")
        wait_for("the insertion heard", lambda: ("object:text-changed:insert", 0, 1, "Z") in heard)
        print("ok: read, followed and heard kestrix-edit over AT-SPI")
        return 0
    finally:
        if editor:
            editor.kill()
            editor.wait()
        launcher.terminate()
        launcher.wait()


if __name__ == "__main__":
    if len(sys.argv) != 2:
        print(__doc__)
        sys.exit(2)
    if os.environ.get("KESTRIX_IN_SESSION") == "1":
        sys.exit(inside(sys.argv[1]))
    sys.exit(outside(sys.argv[1]))
